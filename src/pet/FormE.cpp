#include "FormE.h"

#include "Form1.h"
#include "forms/forms.h"
#include "platform/convert.h"

FormE::FormE(Forms& forms)
    : Window(forms.services(), Kind::Desktop, QStringLiteral("Egg")), vWindowShaper1(*this),
      Timer1(
          this, [this] { Timer1_Timer(); }, 1000, true),
      m_forms(forms) {
    setCursor(Qt::SizeAllCursor);
    Move(0, 0, 2055, 1905);
}

void FormE::Form_Load() {
    Form1& pet = m_forms.form1();
    const float tpp = services().runtime.TwipsPerPixelX();
    SetPicture(pet.cplate.GraphicCell(5));
    SetWidth(static_cast<float>(convert::CLng(pet.GetPicture().Width(tpp))));
    SetHeight(static_cast<float>(convert::CLng(pet.GetPicture().Height(tpp))));
    vWindowShaper1.SetPicture(pet.cplate.GraphicCell(5));
    CentreOnScreen();
}

void FormE::Form_MouseMove(int16_t Button, int16_t, float X, float Y) {
    if (Button != 1) {
        DragX = 0;
        DragY = 0;
    } else if (DragX != 0) {
        // Offsets stay in single precision: the egg follows the pointer to the fraction.
        const float dx = X - DragX;
        const float dy = Y - DragY;
        Move(Left() + dx, Top() + dy);
    } else {
        DragX = X;
        DragY = Y;
    }
}

void FormE::Timer1_Timer() {
    TickCount = convert::Add16(TickCount, 1);
    if (TickCount == 10) {
        Form1& pet = m_forms.form1();
        pet.Show();
        vWindowShaper1.SetPicture(pet.cplate.GraphicCell(6));
        SetPicture(pet.cplate.GraphicCell(6));
        pet.Move(Left() - 100, Top() + 150);
    }
    if (TickCount == 20) m_forms.Unload(this);
}
