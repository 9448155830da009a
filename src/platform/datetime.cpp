#include "datetime.h"

#include "errors.h"

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

Parts ToParts(Date d) {
    long long s = secondsOf(d);
    long long days = static_cast<long long>(std::trunc(d));
    long long tod = std::llabs(s - days * 86400);
    if (tod >= 86400) { // rounding carried into the next day
        days += d >= 0 ? 1 : -1;
        tod -= 86400;
    }
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

} // namespace datetime
