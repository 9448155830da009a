#include "datetime.h"

#include "errors.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string_view>

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
    throw RuntimeError(errnum::TypeMismatch,
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

namespace {
// A stored date-time is some twenty characters; anything much longer is not one, and is not
// read through.
constexpr size_t kLongestText = 64;
// How much of a bad text the error message quotes.
constexpr size_t kQuoted = 40;

// The runtime's date-times run from 1 January 100 to 31 December 9999.
constexpr double kFirstDay = -657434.0;
constexpr double kLastDay = 2958466.0;

// The text for the error message: a long one cut at a character boundary.
std::string quoted(const std::string& text) {
    if (text.size() <= kQuoted) return text;
    size_t cut = kQuoted;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut) + "...";
}

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the text from left to right; a read that does not match takes nothing.
struct Scanner {
    std::string_view s;
    size_t at = 0;

    void spaces() {
        while (at < s.size() && isSpace(s[at]))
            ++at;
    }
    bool take(char c) {
        if (at == s.size() || s[at] != c) return false;
        ++at;
        return true;
    }
    // A whole number of `min` to `max` digits, or -1.
    int number(size_t min, size_t max) {
        size_t n = 0;
        int value = 0;
        while (n < max && at + n < s.size() && isDigit(s[at + n]))
            value = value * 10 + (s[at + n++] - '0');
        if (n < min) return -1;
        at += n;
        return value;
    }
    size_t digitRun() {
        const size_t from = at;
        while (at < s.size() && isDigit(s[at]))
            ++at;
        return at - from;
    }
    bool done() {
        spaces();
        return at == s.size();
    }
};

// A plain number of days: optional sign, digits, optional decimals.
bool readDays(std::string_view text, double& days) {
    Scanner in{text};
    in.spaces();
    const bool negative = in.take('-');
    if (!negative) in.take('+');
    const size_t from = in.at;
    if (in.digitRun() == 0) return false;
    if (in.take('.') && in.digitRun() == 0) return false;
    const char* end = text.data() + in.at;
    if (!in.done()) return false;
    // from_chars reads the same whatever the user's locale takes for a decimal point.
    const auto [last, error] = std::from_chars(text.data() + from, end, days);
    if (error != std::errc() || last != end) return false;
    if (negative) days = -days;
    return days >= kFirstDay && days < kLastDay;
}

// "yyyy-m-d", then optionally " h:mm" or "Th:mm", then optionally ":ss".
bool readStamp(std::string_view text, Parts& p) {
    Scanner in{text};
    in.spaces();
    p.year = in.number(4, 4);
    if (p.year < 0 || !in.take('-')) return false;
    p.month = in.number(1, 2);
    if (p.month < 0 || !in.take('-')) return false;
    p.day = in.number(1, 2);
    if (p.day < 0) return false;
    const size_t dateEnd = in.at;
    if (in.take(' ') || in.take('T')) {
        const int hour = in.number(1, 2);
        const int minute = hour >= 0 && in.take(':') ? in.number(2, 2) : -1;
        if (minute < 0) {
            in.at = dateEnd; // no time: only spaces may follow the date
        } else {
            p.hour = hour;
            p.minute = minute;
            const size_t minuteEnd = in.at;
            const int second = in.take(':') ? in.number(2, 2) : -1;
            if (second >= 0)
                p.second = second;
            else
                in.at = minuteEnd;
        }
    }
    return in.done();
}
} // namespace

Date FromText(const std::string& text) {
    if (text.size() > kLongestText) mismatch(quoted(text));
    double days = 0;
    if (readDays(text, days)) return days;
    Parts p;
    if (!readStamp(text, p)) mismatch(quoted(text));
    const year_month_day ymd{year{p.year}, month{static_cast<unsigned>(p.month)},
                             day{static_cast<unsigned>(p.day)}};
    if (p.year < 100 || !ymd.ok() || p.hour > 23 || p.minute > 59 || p.second > 59)
        mismatch(quoted(text));
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
