#include "datetime.h"

#include "errors.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <regex>

namespace datetime {

namespace {
using namespace std::chrono;

constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};

long long secondsOf(Date d) {
    // Whole days count from the epoch; the fraction is the time of day, also before the epoch
    // (-1.25 is 29 Dec 1899 06:00).
    const double whole = std::trunc(d);
    const double frac = std::fabs(d - whole);
    return static_cast<long long>(whole) * 86400 + std::llround(frac * 86400.0);
}

long long floorDiv(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

[[noreturn]] void mismatch(const std::string& text) {
    throw RuntimeError(vberr::TypeMismatch,
                       "Type mismatch: \"" + text + "\" is not a date and time");
}
} // namespace

Date FromParts(const Parts& p) {
    const year_month_day ymd{year{p.year}, month{static_cast<unsigned>(p.month)},
                             day{static_cast<unsigned>(p.day)}};
    const long long days = (sys_days{ymd} - kEpoch).count();
    const double tod = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0;
    return days >= 0 ? days + tod : days - tod;
}

namespace {
Parts partsOfSeconds(long long seconds) {
    // Counted in seconds, a time of day rounded up to midnight is the next day's, on either
    // side of the zero date-time.
    const long long days = floorDiv(seconds, 86400);
    const long long tod = seconds - days * 86400;
    const year_month_day ymd{kEpoch + std::chrono::days{days}};
    Parts p;
    p.year = static_cast<int>(ymd.year());
    p.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    p.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    p.hour = static_cast<int>(tod / 3600);
    p.minute = static_cast<int>(tod / 60 % 60);
    p.second = static_cast<int>(tod % 60);
    return p;
}
} // namespace

Parts ToParts(Date d) {
    return partsOfSeconds(secondsOf(d));
}

std::string ToText(Date d) {
    const Parts p = ToParts(d);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
    return buf;
}

Date FromText(const std::string& text) {
    static const std::regex number(R"(\s*[-+]?\d+(\.\d+)?\s*)");
    static const std::regex stamp(
        R"(\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*)");
    std::smatch m;
    if (std::regex_match(text, number)) return std::stod(text);
    if (!std::regex_match(text, m, stamp)) mismatch(text);
    Parts p;
    p.year = std::stoi(m[1]);
    p.month = std::stoi(m[2]);
    p.day = std::stoi(m[3]);
    if (m[4].matched) {
        p.hour = std::stoi(m[4]);
        p.minute = std::stoi(m[5]);
        p.second = m[6].matched ? std::stoi(m[6]) : 0;
    }
    const year_month_day ymd{year{p.year}, month{static_cast<unsigned>(p.month)},
                             day{static_cast<unsigned>(p.day)}};
    if (!ymd.ok() || p.hour > 23 || p.minute > 59 || p.second > 59) mismatch(text);
    return FromParts(p);
}

long long ToSeconds(Date d) {
    return secondsOf(d);
}

Date FromSeconds(long long seconds) {
    return FromParts(partsOfSeconds(seconds));
}

namespace {
year_month_day calendarDate(long long seconds) {
    return year_month_day{kEpoch + std::chrono::days{floorDiv(seconds, 86400)}};
}

long long monthIndex(const year_month_day& ymd) {
    return static_cast<long long>(static_cast<int>(ymd.year())) * 12 +
           static_cast<unsigned>(ymd.month()) - 1;
}
} // namespace

long long DateDiff(Interval unit, long long a, long long b) {
    switch (unit) {
    case Interval::Year:
        return static_cast<int>(calendarDate(b).year()) - static_cast<int>(calendarDate(a).year());
    case Interval::Month:
        return monthIndex(calendarDate(b)) - monthIndex(calendarDate(a));
    case Interval::Day:
        return floorDiv(b, 86400) - floorDiv(a, 86400);
    case Interval::Hour:
        return floorDiv(b, 3600) - floorDiv(a, 3600);
    case Interval::Minute:
        return floorDiv(b, 60) - floorDiv(a, 60);
    case Interval::Second:
        break;
    }
    return b - a;
}

long long DateAdd(Interval unit, long long n, long long d) {
    switch (unit) {
    case Interval::Year:
        return DateAdd(Interval::Month, 12 * n, d);
    case Interval::Month: {
        const long long day = floorDiv(d, 86400);
        const year_month_day from = calendarDate(d);
        const long long target = monthIndex(from) + n;
        const year_month first{
            year{static_cast<int>(floorDiv(target, 12))},
            month{static_cast<unsigned>(target - floorDiv(target, 12) * 12 + 1)}};
        const auto last = year_month_day_last{first.year(), month_day_last{first.month()}}.day();
        const year_month_day to{first.year(), first.month(), std::min(from.day(), last)};
        return (sys_days{to} - kEpoch).count() * 86400LL + (d - day * 86400);
    }
    case Interval::Day:
        return d + 86400 * n;
    case Interval::Hour:
        return d + 3600 * n;
    case Interval::Minute:
        return d + 60 * n;
    case Interval::Second:
        break;
    }
    return d + n;
}

} // namespace datetime
