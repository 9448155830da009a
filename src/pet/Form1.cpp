#include "Form1.h"

#include "FormE.h"
#include "companions/Form2.h"
#include "companions/splash.h"
#include "forms/forms.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/programlook.h"

#include <QImage>

#include <array>
#include <cmath>
#include <cstdio>

Form1::Form1(Forms& forms)
    : Window(forms.services(), Kind::Desktop, QStringLiteral("Pimbolet")),
      Sound(forms.services().sound), cplate(QImage(QStringLiteral(":/pictures/sprites.png")), 4, 9),
      vWindowShaper1(*this), hand1(CursorFrom(QStringLiteral(":/pictures/hand1.png"), 11, 13)),
      hand2(CursorFrom(QStringLiteral(":/pictures/hand2.png"), 11, 14)),
      Timer1(
          this, [this] { Timer1_Timer(); }, 200, true),
      m_forms(forms) {
    Timer1.SetQuietAhead([this] { return QuietTicksAhead(); });
    forms.services().runtime.WatchScreens(*this, [this] { KeepInSight(); });
    setWindowIcon(programlook::WindowIcon());
    // Design size, replaced by the start-up before the window is first shown.
    Move(0, 0, 13500, 6600);
    CentreOnScreen();
}

void Form1::ShowCell(int16_t n) {
    m_shownCell = n;
    vWindowShaper1.SetPicture(cplate.GraphicCell(n));
    SetPicture(cplate.GraphicCell(n));
}

int16_t Form1::Draw(int n) {
    return convert::Draw(services().random.Rnd(), n);
}

bool Form1::RequiredFilesMissing() {
    static constexpr const char* kDataFolder = "/cdata/";
    static constexpr std::array<const char*, 9> kRequired = {"say1.wav",  "say2.wav",  "say3.wav",
                                                             "say4.wav",  "pain1.wav", "pain2.wav",
                                                             "pain3.wav", "pain4.wav", "laugh.wav"};
    std::string missing;
    const std::string folder = services().runtime.AppPath() + kDataFolder;
    for (const char* name : kRequired) {
        // Every file is looked up, whatever the earlier ones gave; a failing look-up counts
        // as a missing file.
        bool found = false;
        try {
            found = services().files.Exists(folder + name);
        } catch (const std::exception&) {
        }
        if (!found) missing += (missing.empty() ? "" : ", ") + std::string(name);
    }
    // The message box only says that something is missing: this line says what, and where.
    if (!missing.empty())
        std::fprintf(stderr, "pimbolet: required files are missing from %s: %s\n",
                     folder.substr(0, folder.size() - 1).c_str(), missing.c_str());
    return !missing.empty();
}

void Form1::Form_Load() {
    Services& s = services();
    Release = kRelease;

    if (RequiredFilesMissing()) {
        s.msgbox.MsgBox("Required files are missing", mb::Critical, "Load Error");
        s.runtime.End(EndStatus::Failed);
    }

    try {
        if (s.runtime.PrevInstance()) {
            s.msgbox.MsgBox("Virtual Pet Pimbolet is Already Running!", mb::Critical,
                            "KOZ - Already Running");
            // The pet the user asked for is running: not a failure.
            s.runtime.End(EndStatus::Done);
        }

        m_forms.splashBanner().Show();
        CheckForUpdate();
        s.random.Randomize();

        ShowCell(1);
        const float tpp = s.runtime.TwipsPerPixelX();
        SetWidth(static_cast<float>(GetPicture().Width(tpp)));
        SetHeight(static_cast<float>(GetPicture().Height(tpp)));
        FrameNo = 1;
        SetMouseIcon(hand1);

        BirthDate = datetime::FromText(
            s.settings.GetSetting(s.runtime.Title(), kSettingsSection, "birth", "0"));
        if (BirthDate == 0) {
            m_forms.formE().Show();
            BirthDate = s.clock.Now();
            s.settings.SaveSetting(s.runtime.Title(), kSettingsSection, "birth",
                                   datetime::ToText(BirthDate));
            State = "facing front";
            ActionTicks = 40;
        } else {
            Show();
            Choice = static_cast<int16_t>(1 + Draw(2));
            if (Choice == 1) {
                const float top =
                    std::floor((s.runtime.ScreenHeight() - 2 * Height()) * s.random.Rnd()) +
                    m_forms.splashBanner().Height();
                Move(0 - Width(), top);
                State = "walking right";
            } else {
                const float top =
                    std::floor((s.runtime.ScreenHeight() - Height()) * s.random.Rnd());
                Move(s.runtime.ScreenWidth(), top);
                State = "walking left";
            }
            ActionTicks = 80;
        }

        VerticalDir = "none";
        Energy = static_cast<int16_t>(200 + Draw(200));
        s.stacking.SetWindowPos(hWnd(), swp::Topmost, 0, 0, 0, 0, swp::NoSizeNoMove);
        AddTrayIcon();
    } catch (const RuntimeError& e) {
        StartErr(e.Description);
    } catch (const std::exception& e) {
        StartErr(e.what());
    }
}

void Form1::StartErr(const std::string& description) {
    // The start has failed and the program ends with this message: meanwhile no egg hatches,
    // no banner slides, no pet walks and no sound goes on.
    m_forms.StopAllTimers();
    if (!Sound.FileName().empty()) Sound.Command("Close");
    services().msgbox.MsgBox("Oh Dear, and error has occured.\r\n" + description, mb::OKOnly, "");
    services().runtime.End(EndStatus::Failed);
}

void Form1::AddTrayIcon() {
    TrayIcon.cbSize = 88;
    TrayIcon.hWnd = hWnd();
    TrayIcon.uID = 1;
    TrayIcon.uFlags = 7;
    TrayIcon.uCallbackMessage = 0x200;
    TrayIcon.hIcon = m_forms.form2().Icon().Handle();
    std::string tip = services().runtime.Title();
    tip.push_back('\0');
    tip.resize(64, ' ');
    TrayIcon.szTip = tip;
    services().tray.Shell_NotifyIcon(nim::Add, TrayIcon.Bytes());
}

void Form1::Form_Unload() {
    services().tray.Shell_NotifyIcon(nim::Delete, TrayIcon.Bytes());
}

void Form1::Toggle_Ontop() {
    const HWND after = m_forms.form2().Check3.Value() == 1 ? swp::Topmost : swp::NoTopmost;
    services().stacking.SetWindowPos(hWnd(), after, 0, 0, 0, 0, swp::NoSizeNoMove);
}
