#include "age.h"

#include "platform/convert.h"

#include <array>

void DateDifference(Date Date1, Date Date2, int16_t& num_years, int16_t& num_months,
                    int16_t& num_days, int16_t& num_hours, int16_t& num_minutes,
                    int16_t& num_seconds) {
    using datetime::Interval;
    const std::array<Interval, 6> units = {Interval::Year, Interval::Month,  Interval::Day,
                                           Interval::Hour, Interval::Minute, Interval::Second};
    const std::array<int16_t*, 6> parts = {&num_years, &num_months,  &num_days,
                                           &num_hours, &num_minutes, &num_seconds};
    const long long end = datetime::ToSeconds(Date2);
    long long d = datetime::ToSeconds(Date1);
    // The sign from a 64-bit count of seconds: spans of centuries, as with a birth date edited
    // by hand or a clock set far ahead, keep their direction.
    const int sign = end - d > 0 ? 1 : -1;
    for (size_t i = 0; i < units.size() && d != end; ++i) {
        int16_t n = convert::CInt(static_cast<double>(datetime::DateDiff(units[i], d, end)));
        // A boundary count can be one more than the whole units elapsed: step back when the
        // guess has gone past the end.
        if (datetime::DateDiff(Interval::Second, datetime::DateAdd(units[i], n, d), end) * sign < 0)
            n = static_cast<int16_t>(n - sign);
        d = datetime::DateAdd(units[i], n, d);
        *parts[i] = n;
    }
}

std::string AgeMessage(int16_t days, int16_t months, int16_t years) {
    return "Pimbolet's Age: " + convert::Str(days) + " days, " + convert::Str(months) +
           " months, " + convert::Str(years) + " years";
}
