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
// ("0" is the zero date-time). Anything else is a Type mismatch error naming the text.
Date FromText(const std::string& text);

} // namespace datetime
