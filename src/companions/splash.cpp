#include "splash.h"

#include "About.h"
#include "forms/forms.h"
#include "pet/Form1.h"
#include "platform/convert.h"
#include "platform/web.h"

splash::splash(Forms& forms)
    : Window(forms.services(), Kind::Desktop, QStringLiteral("splash")),
      Label1(QStringLiteral("Zandrow Productions"), this), Label2(QStringLiteral("URL"), this),
      Label3(QStringLiteral("koz-version"), this), Timer1(
                                                       this, [this] { Timer1_Timer(); }, 50, false),
      m_forms(forms) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 192, 0));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    Move(0, 0, 2730, 2295);
    SetPicture(Picture(QImage(QStringLiteral(":/pictures/title.png"))));
    Label1.setGeometry(TwipsRect(120, 1800, 2535, 375));
    Label2.setGeometry(TwipsRect(120, 2040, 2535, 255));
    Label3.setGeometry(TwipsRect(1800, 1560, 975, 255));
    QFont credit = font();
    credit.setBold(true);
    credit.setPointSize(12);
    Label1.setFont(credit);
}

void splash::Form_Load() {
    Services& s = services();
    SlidePhase = 1;
    Move(-Width(), 0);
    Label2.setCursor(m_forms.about().kozurl.cursor());
    s.stacking.SetWindowPos(hWnd(), swp::Topmost, 0, 0, 0, 0, swp::NoSizeNoMove);
    Label2.setText(QString::fromStdString(MakerAddress(s.runtime, "/")));
    // Without a web site the address is only text, as in the About box.
    if (NamesAWebSite(s.runtime.WebHost())) {
        Label2.setToolTip(QStringLiteral("click to visit"));
        Label2.Click = [this] { Label2_Click(); };
    }
    Label3.setText(QStringLiteral("v%1.%2%3")
                       .arg(s.runtime.Major())
                       .arg(s.runtime.Minor())
                       .arg(QString::fromStdString(m_forms.form1().Release)));
    Show();
    Timer1.SetEnabled(true);
}

void splash::Timer1_Timer() {
    if (SlidePhase == 1) {
        if (Left() < -150) {
            Move(Left() + 150, 0);
        } else if (Left() < 0) {
            Move(0, 0);
        } else {
            Move(0, 0);
            Timer1.SetInterval(1000);
            SlidePhase = 2;
        }
        return;
    }
    RestTicks = convert::Add16(RestTicks, 1);
    if (RestTicks == 15) Timer1.SetInterval(50);
    if (RestTicks > 15) {
        Move(Left() - 150, 0);
        if (Left() <= -Width()) {
            RestTicks = 0;
            m_forms.Unload(this);
        }
    }
}

void splash::Form_MouseMove(int16_t, int16_t, float, float) {
    // To the front, as "Show Pimbolet" brings the pet; the keyboard stays with the user's work.
    SetFocus();
}

void splash::Label2_Click() {
    LaunchLink(services(), WebBrowser, Label2.text().toStdString());
}
