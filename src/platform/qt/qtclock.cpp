#include "qtclock.h"

#include <QDateTime>

Date QtClock::Now() {
    const QDateTime now = QDateTime::currentDateTime();
    datetime::Parts p;
    p.year = now.date().year();
    p.month = now.date().month();
    p.day = now.date().day();
    p.hour = now.time().hour();
    p.minute = now.time().minute();
    p.second = now.time().second();
    return datetime::FromParts(p);
}
