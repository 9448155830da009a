#include "popmenus.h"

#include "About.h"
#include "Form2.h"
#include "forms/forms.h"
#include "pet/Form1.h"
#include "pet/FormE.h"
#include "splash.h"

popmenus::popmenus(Forms& forms)
    : Window(forms.services(), Kind::Dialog, QStringLiteral("Menus")),
      mnupimbo(QStringLiteral("pimbo"), this), mnutickle(QStringLiteral("Tickle"), this),
      mnuslap(QStringLiteral("Slap"), this), mnuspacer1(this),
      moremnu(QStringLiteral("Program"), this), mnuAbout(QStringLiteral("About"), this),
      optionsmnu(QStringLiteral("Options"), this), exitmnu(QStringLiteral("Exit"), this),
      mnuicon(QStringLiteral("trayicon"), this), mnuAge(QStringLiteral("Pimbolet's Age?"), this),
      showmnu(QStringLiteral("Show Pimbolet"), this),
      traymnuoption(QStringLiteral("Options"), this), mnuAbout2(QStringLiteral("About"), this),
      trayexitmnu(QStringLiteral("Exit"), this), m_forms(forms) {
    item(mnupimbo, mnutickle, &popmenus::mnutickle_Click);
    item(mnupimbo, mnuslap, &popmenus::mnuslap_Click);
    // The caption "-" of the design is a separator line; a separator's text would be drawn.
    mnuspacer1.setSeparator(true);
    mnupimbo.addAction(&mnuspacer1);
    mnupimbo.addMenu(&moremnu);
    item(moremnu, mnuAbout, &popmenus::mnuAbout_Click);
    item(moremnu, optionsmnu, &popmenus::optionsmnu_Click);
    item(moremnu, exitmnu, &popmenus::exitmnu_Click);

    item(mnuicon, mnuAge, &popmenus::mnuAge_Click);
    item(mnuicon, showmnu, &popmenus::showmnu_Click);
    item(mnuicon, traymnuoption, &popmenus::traymnuoption_Click);
    item(mnuicon, mnuAbout2, &popmenus::mnuAbout2_Click);
    item(mnuicon, trayexitmnu, &popmenus::trayexitmnu_Click);
}

void popmenus::item(QMenu& menu, QAction& action, void (popmenus::*handler)()) {
    menu.addAction(&action);
    connect(&action, &QAction::triggered, this, handler);
}

void popmenus::mnutickle_Click() {
    m_forms.form1().Interaction = 1;
}

void popmenus::mnuslap_Click() {
    m_forms.form1().Interaction = 2;
}

void popmenus::mnuAbout_Click() {
    m_forms.about().Show();
}

void popmenus::optionsmnu_Click() {
    m_forms.form2().Show();
}

void popmenus::mnuAge_Click() {
    int16_t telluser = 1;
    m_forms.form1().CheckAge(telluser);
}

void popmenus::showmnu_Click() {
    m_forms.form1().KeepInSight();
    m_forms.form1().SetFocus();
}

void popmenus::traymnuoption_Click() {
    optionsmnu_Click();
}

void popmenus::mnuAbout2_Click() {
    mnuAbout_Click();
}

void popmenus::trayexitmnu_Click() {
    exitmnu_Click();
}

void popmenus::exitmnu_Click() {
    Forms& f = m_forms;
    // The sound device is closed only when it was ever given a file.
    if (f.Form1Loaded() && !f.form1().Sound.FileName().empty()) f.form1().Sound.Command("Close");
    // Each window that is loaded now unloads in turn, running its unload to the end: the pet
    // takes its tray icon away, the options dialog writes the settings. Windows that are not
    // loaded are passed over, not loaded for the purpose.
    if (f.Form1Loaded()) f.Unload(&f.form1());
    if (f.Form2Loaded()) f.Unload(&f.form2());
    if (f.AboutLoaded()) f.Unload(&f.about());
    if (f.SplashLoaded()) f.Unload(&f.splashBanner());
    if (f.FormELoaded()) f.Unload(&f.formE());
    f.Unload(this);
    services().runtime.End(EndStatus::Done);
}
