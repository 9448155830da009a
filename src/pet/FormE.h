#pragma once

#include "platform/picture.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "platform/windowshaper.h"

class Forms;

// The egg of the first run: it lies on the desktop for ten seconds, hatches the pet beside
// itself, and is gone ten seconds later.
class FormE : public Window {
    Q_OBJECT
  public:
    explicit FormE(Forms& forms);

    void Form_Load() override;
    void Form_MouseMove(int16_t Button, int16_t Shift, float X, float Y) override;
    void Timer1_Timer();

    int16_t TickCount = 0;
    float DragX = 0;
    float DragY = 0;

    WindowShaper vWindowShaper1;
    Timer Timer1;

  private:
    Forms& m_forms;
};
