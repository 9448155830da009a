#pragma once

#include "platform/window.h"

class Forms;

// The About box: title, version, the maker's home page and the disclaimer.
class About : public Window {
    Q_OBJECT
  public:
    explicit About(Forms& forms);

  private:
    Forms& m_forms;
};
