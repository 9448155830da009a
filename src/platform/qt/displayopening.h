#pragma once

#include <QByteArray>
#include <QString>

// From its making until opened(), the application object is being made and opens its display.
// Should no display open (none named, none reachable, a display platform that is not
// installed), the program says so in one line on standard error and ends with status 1, where
// Qt would abort with advice about reinstalling. Qt's other messages of that time are passed on
// once the display is open.
class DisplayOpening {
  public:
    DisplayOpening();
    ~DisplayOpening();
    // The display is open: Qt's messages go their usual way again.
    void opened();
    DisplayOpening(const DisplayOpening&) = delete;
    DisplayOpening& operator=(const DisplayOpening&) = delete;

    // The line for a display that did not open, from the platform chosen and DISPLAY.
    static QString failureLine(const QByteArray& platform, const QByteArray& display);
};
