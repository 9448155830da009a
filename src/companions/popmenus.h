#pragma once

#include "platform/window.h"

#include <QAction>
#include <QMenu>

class Forms;

// Holds the pet menu and the tray menu and handles their items; never shown. "Exit" in either
// menu is the program's orderly end.
class popmenus : public Window {
    Q_OBJECT
  public:
    explicit popmenus(Forms& forms);

    void mnutickle_Click();
    void mnuslap_Click();
    void mnuAbout_Click();
    void optionsmnu_Click();
    void exitmnu_Click();
    void mnuAge_Click();
    void showmnu_Click();
    void traymnuoption_Click();
    void mnuAbout2_Click();
    void trayexitmnu_Click();

    // The pet menu, popped up over the pet.
    QMenu mnupimbo;
    QAction mnutickle;
    QAction mnuslap;
    QAction mnuspacer1;
    QMenu moremnu;
    QAction mnuAbout;
    QAction optionsmnu;
    QAction exitmnu;

    // The tray menu.
    QMenu mnuicon;
    QAction mnuAge;
    QAction showmnu;
    QAction traymnuoption;
    QAction mnuAbout2;
    QAction trayexitmnu;

  private:
    void item(QMenu& menu, QAction& action, void (popmenus::*handler)());

    Forms& m_forms;
};
