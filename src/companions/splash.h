#pragma once

#include "platform/controls.h"
#include "platform/timer.h"
#include "platform/window.h"

#include <memory>

class Forms;

// The banner that slides in along the top edge at start-up, rests and slides out again.
class splash : public Window {
    Q_OBJECT
  public:
    explicit splash(Forms& forms);

    void Form_Load() override;
    void Timer1_Timer();
    void Form_MouseMove(int16_t Button, int16_t Shift, float X, float Y) override;
    void Label2_Click();

    int16_t SlidePhase = 0;
    int16_t RestTicks = 0;
    std::unique_ptr<WebBrowserObject> WebBrowser;

    Label Label1;
    Label Label2;
    Label Label3;
    Timer Timer1;

  private:
    Forms& m_forms;
};
