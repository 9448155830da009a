#pragma once

#include "platform/window.h"

class Forms;

// Holds the pet menu and the tray menu; never shown.
class popmenus : public Window {
    Q_OBJECT
  public:
    explicit popmenus(Forms& forms);

  private:
    Forms& m_forms;
};
