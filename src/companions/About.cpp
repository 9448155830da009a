#include "About.h"

#include "app/forms.h"

About::About(Forms& forms)
    : Window(forms.services(), Kind::Dialog, QStringLiteral("About KOZ")), m_forms(forms) {
    Move(0, 0, 4680, 1155);
}
