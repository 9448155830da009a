#include "Form1.h"

// The pet's age, counted from its birth date.
void Form1::CheckAge(int16_t& telluser) {
    if (telluser == 1) services().msgbox.MsgBox("Pimbolet's Age:", mb::OKOnly, "");
}
