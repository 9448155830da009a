#include "Form2.h"

#include "forms/forms.h"
#include "pet/Form1.h"
#include "platform/dialogkeys.h"
#include "platform/errors.h"
#include "platform/programlook.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include <string>

Form2::Form2(Forms& forms)
    : Window(forms.services(), Kind::Dialog, QStringLiteral("Version x.x")),
      Label1(QStringLiteral("Virtual Pet Pimbolet"), this),
      Label3(QStringLiteral(" a new breed of life on your desktop"), this), Line1(this),
      Text1(QStringLiteral("Enter Pet's Name Here"), this), Check1(QStringLiteral("Sound"), this),
      Check2(QStringLiteral("Run at Startup"), this, [this] { Check2_Click(); }),
      Check3(QStringLiteral("Stay above other applications"), this, [this] { Check3_Click(); }),
      Command1(QStringLiteral("Close Window"), this), m_forms(forms) {
    setWindowIcon(programlook::WindowIcon());
    SetPicture(Picture(QImage(QStringLiteral(":/pictures/options.png"))));
    Move(0, 0, 2835, 2280);
    layOut();
    Text1.setMaxLength(25);
    // Design values: the load decides from these which click handlers run.
    Check1.SetValue(1);
    connect(&Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    CentreOnScreen();
}

void Form2::layOut() {
    Label1.setGeometry(TwipsRect(240, 120, 2535, 375));
    QFont title = font();
    title.setPointSize(12);
    title.setBold(true);
    Label1.setFont(title);
    Label3.setGeometry(TwipsRect(120, 480, 2655, 255));
    Line1.setGeometry(TwipsRect(120, 840, 2520, 15));
    Text1.setGeometry(TwipsRect(360, 960, 2055, 285));
    Check1.setGeometry(TwipsRect(240, 1320, 975, 255));
    Check2.setGeometry(TwipsRect(1200, 1320, 1455, 255));
    Check3.setGeometry(TwipsRect(240, 1560, 2415, 255));
    Command1.setGeometry(TwipsRect(600, 1920, 1695, 255));

    // Black text straight on the picture; the check boxes on green.
    for (QLabel* label : {&Label1, &Label3}) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(pal);
    }
    QPalette line = Line1.palette();
    line.setColor(QPalette::Window, Qt::black);
    Line1.setPalette(line);
    Line1.setAutoFillBackground(true);
    for (CheckBox* box : {&Check1, &Check2, &Check3}) {
        QPalette pal = box->palette();
        pal.setColor(QPalette::Window, QColor(0, 192, 0));
        pal.setColor(QPalette::WindowText, Qt::black);
        box->setPalette(pal);
        box->setAutoFillBackground(true);
    }

    // Tab order: the button, "Sound", the name, "Run at Startup", "Stay above"; the button
    // has the focus when the dialog opens.
    setTabOrder(&Command1, &Check1);
    setTabOrder(&Check1, &Text1);
    setTabOrder(&Text1, &Check2);
    setTabOrder(&Check2, &Check3);
    Command1.setFocus();
}

Picture Form2::Icon() const {
    return programlook::IconPicture();
}

std::string Form2::stored(const char* key, const std::string& def) {
    // A store that cannot be read shows the defaults here: the start-up has refused it already,
    // and should it fail later, the save at the unload says why the options were not kept.
    Services& s = services();
    try {
        return s.settings.GetSetting(s.runtime.Title(), Form1::kSettingsSection, key, def);
    } catch (const RuntimeError&) {
        return def;
    }
}

int16_t Form2::storedFlag(const char* key, int16_t def) {
    // The program itself only writes "0" and "1"; anything else found in the store (edited by
    // hand) falls back to the default rather than keeping the pet from starting.
    const std::string text = stored(key, std::to_string(def));
    try {
        size_t used = 0;
        const int v = std::stoi(text, &used);
        if (text.find_first_not_of(" \t", used) == std::string::npos && (v == 0 || v == 1))
            return static_cast<int16_t>(v);
    } catch (const std::exception&) {
    }
    return def;
}

void Form2::Form_Load() {
    Services& s = services();
    Text1.setText(QString::fromStdString(stored("name", "Enter Pet's Name here")));
    Check1.SetValue(storedFlag("sound", 1));
    Check2.SetValue(storedFlag("startup", 0));
    Check3.SetValue(storedFlag("ontop", 1));
    // The pet's stacking always follows the box: a stored "no" takes the pet out of the
    // topmost band that the start-up put it in.
    if (Check3.Value() == 0) m_forms.form1().Toggle_Ontop();
    setWindowTitle(QStringLiteral("Version %1.%2%3")
                       .arg(s.runtime.Major())
                       .arg(s.runtime.Minor())
                       .arg(QString::fromStdString(m_forms.form1().Release)));
}

void Form2::Form_Unload() {
    Services& s = services();
    const std::string app = s.runtime.Title();
    try {
        s.settings.SaveSetting(app, Form1::kSettingsSection, "name", Text1.text().toStdString());
        s.settings.SaveSetting(app, Form1::kSettingsSection, "sound",
                               std::to_string(Check1.Value()));
        s.settings.SaveSetting(app, Form1::kSettingsSection, "startup",
                               std::to_string(Check2.Value()));
        s.settings.SaveSetting(app, Form1::kSettingsSection, "ontop",
                               std::to_string(Check3.Value()));
        s.settings.SaveSetting(app, Form1::kSettingsSection, "version",
                               std::to_string(s.runtime.Major()) + "." +
                                   std::to_string(s.runtime.Minor()) + Form1::kRelease);
    } catch (const RuntimeError& e) {
        // The store leaves its file as it was; the closing goes on, and the user hears why the
        // options were not kept.
        s.msgbox.MsgBox("Your options could not be saved.\r\n" + e.Description, mb::Exclamation,
                        "");
    }
}

void Form2::Check2_Click() {
    if (Check2.Value() == 1) {
        // Unticked before the refusal waits for its answer: an end of the session meanwhile
        // writes the options as they are, and must not store the box as chosen. Unticking runs
        // this handler once more, which then finds 0 and does nothing.
        Check2.SetValue(0);
        services().msgbox.MsgBox("This feature is not available yet", mb::Information,
                                 "Run at Startup");
    }
}

void Form2::Check3_Click() {
    m_forms.form1().Toggle_Ontop();
}

void Form2::Command1_Click() {
    Hide();
}

void Form2::closeEvent(QCloseEvent* event) {
    event->accept();
    m_forms.Unload(this);
}

void Form2::keyPressEvent(QKeyEvent* event) {
    if (!DialogKeyPress(*this, *event, [this] { Command1_Click(); })) Window::keyPressEvent(event);
}
