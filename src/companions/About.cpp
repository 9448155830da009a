#include "About.h"

#include "forms/forms.h"
#include "pet/Form1.h"
#include "platform/dialogkeys.h"
#include "platform/programlook.h"
#include "platform/web.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include <algorithm>

namespace {
const QString kShow = QStringLiteral("Show Disclaimer >");
const QString kHide = QStringLiteral("Hide Disclaimer <");
constexpr float kWidth = 4680;
constexpr float kFold = 1500;

const char* const kDisclaimer =
    "Virtual Pet Pimbolet is made by Zandrow Productions and remains its property. Its "
    "pictures and sounds were made for it. It is freeware; pass it on only as downloaded from "
    "the maker's web site. It and all that comes with it may not be altered, sold or hired out.";
} // namespace

About::About(Forms& forms)
    : Window(forms.services(), Kind::Dialog, QStringLiteral("About KOZ")),
      Aclose(QStringLiteral("OK"), this, [this] { Aclose_Click(); }),
      titlev(QStringLiteral("-"), this), kozurl(QStringLiteral("-"), this),
      Label1(QString::fromUtf8(kDisclaimer), this),
      Disclaimer(kShow, this, [this] { Disclaimer_Click(); }), m_forms(forms) {
    setWindowIcon(programlook::WindowIcon());
    SetPicture(Picture(QImage(QStringLiteral(":/pictures/logo.png"))));
    setMouseTracking(true);
    setClientHeight(1155);
    Move(0, 0, kWidth, 1155);
    CentreOnScreen();

    Aclose.setGeometry(TwipsRect(1680, 720, 1335, 375));
    titlev.setGeometry(TwipsRect(1440, 120, 3135, 255));
    kozurl.setGeometry(TwipsRect(1440, 360, 3135, 255));
    Label1.setGeometry(TwipsRect(120, 1200, 4335, 1575));
    Label1.setWordWrap(true);
    Disclaimer.setGeometry(TwipsRect(3120, 720, 1455, 375));
    fitButtons();
    setTabOrder(&Aclose, &Disclaimer);

    titlev.SetMouseMove([this] { titlev_MouseMove(); });
    Aclose.SetMouseMove([this] { Aclose_MouseMove(); });
    Disclaimer.SetMouseMove([this] { Disclaimer_MouseMove(); });
    linkNormal();
}

void About::Form_Load() {
    Services& s = services();
    titlev.setText(QStringLiteral("%1 v%2.%3%4")
                       .arg(QString::fromStdString(s.runtime.Title()))
                       .arg(s.runtime.Major())
                       .arg(s.runtime.Minor())
                       .arg(QString::fromStdString(m_forms.form1().Release)));
    kozurl.setText(QString::fromStdString(MakerAddress(s.runtime, "/")));
    // A build that names no web site shows the address as text: there is nothing to visit. The
    // banner takes its link's pointer from here, so it shows no pointing hand either.
    if (!NamesAWebSite(s.runtime.WebHost())) return;
    kozurl.setCursor(CursorFrom(QStringLiteral(":/pictures/link.png"), 7, 4));
    kozurl.setToolTip(QStringLiteral("click to visit"));
    kozurl.Click = [this] { kozurl_Click(); };
    kozurl.SetMouseMove([this] { kozurl_MouseMove(); });
}

void About::fitButtons() {
    // The buttons were drawn for a narrower system font than ours: where a caption would be
    // cut, the disclaimer button grows to the left, and "OK" gives way to it, keeping the gap
    // between them and never reaching under the logo's column.
    const QRect dis = Disclaimer.geometry();
    QPushButton probe(kHide);
    probe.setFont(Disclaimer.font());
    const int need =
        std::max({dis.width(), Disclaimer.sizeHint().width(), probe.sizeHint().width()});
    Disclaimer.setGeometry(dis.right() + 1 - need, dis.y(), need, dis.height());
    const QRect ok = Aclose.geometry();
    const int gap = dis.x() - ok.right() - 1;
    const int room = Disclaimer.x() - gap - titlev.x();
    const int width = std::max(Aclose.sizeHint().width(), std::min(ok.width(), room));
    Aclose.setGeometry(std::min(ok.x(), Disclaimer.x() - gap - width), ok.y(), width, ok.height());
}

void About::setClientHeight(float height) {
    // Fixed: the window manager offers no resizing and no maximise button.
    setFixedSize(TwipsRect(0, 0, kWidth, height).size());
}

void About::Aclose_Click() {
    Hide();
}

void About::Disclaimer_Click() {
    const bool unfold = Disclaimer.text() == kShow;
    const float height = Height() + (unfold ? kFold : -kFold);
    setClientHeight(height);
    // The box grows or shrinks where it stands now, also after the user has moved it.
    Move(Left(), Top(), Width(), height);
    Disclaimer.setText(unfold ? kHide : kShow);
}

void About::kozurl_Click() {
    LaunchLink(services(), WebBrowser, kozurl.text().toStdString());
}

void About::linkNormal() {
    kozurl.SetForeColor(palette().color(QPalette::ButtonText));
}

void About::kozurl_MouseMove() {
    kozurl.SetForeColor(QColor(255, 0, 0));
}

void About::Form_MouseMove(int16_t, int16_t, float, float) {
    linkNormal();
}
void About::titlev_MouseMove() {
    linkNormal();
}
void About::Aclose_MouseMove() {
    linkNormal();
}
void About::Disclaimer_MouseMove() {
    linkNormal();
}
void About::Form_Deactivate() {
    linkNormal();
}

void About::changeEvent(QEvent* event) {
    Window::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) Form_Deactivate();
}

void About::closeEvent(QCloseEvent* event) {
    event->accept();
    m_forms.Unload(this);
}

void About::keyPressEvent(QKeyEvent* event) {
    if (!DialogKeyPress(*this, *event, [this] { Aclose_Click(); })) Window::keyPressEvent(event);
}
