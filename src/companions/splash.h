#pragma once

#include "platform/timer.h"
#include "platform/window.h"

#include <QLabel>

class Forms;

// The banner that slides in along the top edge at start-up, rests and slides out again.
class splash : public Window {
    Q_OBJECT
  public:
    explicit splash(Forms& forms);

    void Form_Load() override;
    void Timer1_Timer();

    int16_t SlidePhase = 0;
    int16_t RestTicks = 0;

    QLabel Label1;
    QLabel Label2;
    QLabel Label3;
    Timer Timer1;

  private:
    Forms& m_forms;
};
