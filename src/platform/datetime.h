#pragma once

#include <string>

// The runtime's date-time: days since 30 December 1899 00:00:00, the time of day as the
// fraction, local time. 0 is the zero date-time.
using Date = double;

namespace datetime {

struct Parts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

Date FromParts(const Parts& p);
Parts ToParts(Date d);

// The text form the program stores: "yyyy-mm-dd hh:mm:ss". It reads back to the same
// date-time whatever the user's locale.
std::string ToText(Date d);

// Text to date-time: the stored form, a date alone ("yyyy-mm-dd"), or a plain number of days
// ("0" is the zero date-time), within the years 100 to 9999. Anything else, a text too long to
// be a date-time among it, is a Type mismatch error naming the text (a long one cut short).
Date FromText(const std::string& text);

// A date-time as a count of seconds from the zero date-time, before it too, to the nearest
// second: the calendar arithmetic below works on these.
long long ToSeconds(Date d);
Date FromSeconds(long long seconds);

enum class Interval { Year, Month, Day, Hour, Minute, Second };

// The number of unit boundaries crossed from a to b, negative when b is earlier: 31 December to
// 1 January is one year, 10:59:59 to 11:00:00 one hour.
long long DateDiff(Interval unit, long long a, long long b);

// d plus n units. Years and months keep the day and the time of day, the day cut back to the
// last of a shorter month (31 January plus a month is 28 or 29 February); days keep the time of
// day; hours, minutes and seconds add exact durations.
long long DateAdd(Interval unit, long long n, long long d);

} // namespace datetime
