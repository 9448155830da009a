#pragma once

#include "platform/picture.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "platform/windowshaper.h"

#include <cstdint>
#include <memory>
#include <string>

class Forms;

// The pet's window: its start-up, its life five times a second, its sounds and its tray icon.
class Form1 : public Window {
    Q_OBJECT
  public:
    explicit Form1(Forms& forms);

    // Start-up: everything from the wave-file test to the tray icon.
    void Form_Load() override;
    void Form_Unload() override;

    // One step of the pet's life, every 200 ms.
    void Timer1_Timer();

    // Plays a wave file (a path below the program folder), or a random remark or cry when
    // WaveFile is empty. Never cuts off a sound that still plays.
    void PlaySound(std::string& WaveFile);

    // Applies the options dialog's "Stay above other applications" box.
    void Toggle_Ontop();

    // Brings a shown pet that no monitor shows back into the primary monitor's area where it
    // walks (see pet/sight.h): when the monitors change, and for "Show Pimbolet". A pet walking
    // in from beside a monitor is left to come in.
    void KeepInSight();

    // The mouse: the left button drags the pet, a right release pops up the pet menu, and a
    // press on the tray icon (reported as a move) pops up the tray menu.
    void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y) override;
    void Form_MouseMove(int16_t Button, int16_t Shift, float X, float Y) override;
    void Form_MouseUp(int16_t Button, int16_t Shift, float X, float Y) override;
    void Form_DblClick() override;

    // Works out the pet's age from its birth date; shows it when telluser is 1.
    void CheckAge(int16_t& telluser);
    // The span between two date-times in calendar parts (see pet/age.h).
    void DateDifference(Date Date1, Date Date2, int16_t& num_years, int16_t& num_months,
                        int16_t& num_days, int16_t& num_hours, int16_t& num_minutes,
                        int16_t& num_seconds);
    // The browser opened for the download page, when the user asked for it.
    std::unique_ptr<WebBrowserObject> WebBrowser;
    // The age found by the last CheckAge.
    int16_t AgeYears = 0;
    int16_t AgeMonths = 0;
    int16_t AgeDays = 0;

    // Shows cell n of the sprite sheet: outline first, then picture.
    void ShowCell(int16_t n);

    // How many of the coming ticks, if nothing else happens first, will surely change nothing
    // that can be seen or heard: a sleeping pet's, and a standing pet's that keep its plain
    // pose, up to Timer::kMostQuiet. 0 when that cannot be told.
    int QuietTicksAhead() const;

    // The settings store's section for every key the windows keep.
    static constexpr const char* kSettingsSection = "Settings";
    // What follows the version numbers in the version text, and in the stored "version".
    static constexpr const char* kRelease = " beta";

    // Public members the other windows use.
    std::string Release;
    std::string UseCdata;
    int16_t Interaction = 0;
    MultimediaDevice& Sound;

    // The pet's state.
    std::string State;
    std::string StatePrefix;
    std::string LastState;
    int16_t ActionTicks = 0;
    int16_t FrameNo = 0;
    int16_t Energy = 0;
    int16_t WakeLevel = 0;
    int16_t SlapCount = 0;
    int16_t StepY = 0;
    std::string VerticalDir;
    int16_t Choice = 0;
    Date BirthDate = 0;

    // The grab point of a drag (DragX 0: none) and the latest drag step, in whole twips.
    int16_t DragX = 0;
    int16_t DragY = 0;
    int16_t DragDX = 0;
    int16_t DragDY = 0;

    // Controls.
    PictureClip cplate;
    WindowShaper vWindowShaper1;
    QCursor hand1;
    QCursor hand2;
    Timer Timer1;
    NotifyIconData TrayIcon;

  private:
    void StartErr(const std::string& description);
    bool RequiredFilesMissing();
    void CheckForUpdate();
    void AddTrayIcon();

    // The steps of one behaviour tick.
    void FallAsleep();
    void Decide();
    void DecideAfterWalk();
    void StartWalk(const char* walk);
    void TakeRequest();
    void DrawIdle();

    // The behaviour loop's procedures.
    void WalkRight();
    void WalkLeft();
    void ChooseVertical();
    void TickleRight();
    void TickleLeft();
    void TickleFront();
    void SlapRight();
    void SlapLeft();
    void SlapFront();

    bool RoomToRight() const;
    bool RoomToLeft() const;
    int16_t Draw(int n);

    Forms& m_forms;
    int16_t m_shownCell = -1; // the cell ShowCell showed last
};
