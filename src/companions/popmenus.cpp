#include "popmenus.h"

#include "app/forms.h"

popmenus::popmenus(Forms& forms)
    : Window(forms.services(), Kind::Dialog, QStringLiteral("Menus")), m_forms(forms) {}
