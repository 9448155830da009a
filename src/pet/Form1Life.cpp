#include "Form1.h"

// The behaviour loop and its procedures.
void Form1::Timer1_Timer() {}
void Form1::PlaySound(std::string&) {}
void Form1::WalkRight() {}
void Form1::WalkLeft() {}
void Form1::ChooseVertical() {}
void Form1::TickleRight() {}
void Form1::TickleLeft() {}
void Form1::TickleFront() {}
void Form1::SlapRight() {}
void Form1::SlapLeft() {}
void Form1::SlapFront() {}
bool Form1::RoomToRight() const { return false; }
bool Form1::RoomToLeft() const { return false; }
