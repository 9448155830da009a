#include "nodisplay.h"

bool NoDisplay::Place(QWidget&, int, int, Send) {
    return false;
}
bool NoDisplay::ShowPicture(QWidget&, int64_t, const QImage&, double) {
    return false;
}
bool NoDisplay::Outline(QWidget&, const QRegion&, double) {
    return false;
}
void NoDisplay::SetState(QWidget&, bool) {}
void NoDisplay::Stack(QWidget&, Band) {}
