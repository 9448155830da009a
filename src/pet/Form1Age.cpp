#include "Form1.h"

#include "age.h"

// The pet's age, counted from its birth date to this second.
void Form1::CheckAge(int16_t& telluser) {
    int16_t years = 0, months = 0, days = 0, hours = 0, minutes = 0, seconds = 0;
    DateDifference(BirthDate, services().clock.Now(), years, months, days, hours, minutes, seconds);
    AgeYears = years;
    AgeMonths = months;
    AgeDays = days;
    if (telluser == 1)
        services().msgbox.MsgBox(AgeMessage(AgeDays, AgeMonths, AgeYears), mb::OKOnly, "");
}

void Form1::DateDifference(Date Date1, Date Date2, int16_t& num_years, int16_t& num_months,
                           int16_t& num_days, int16_t& num_hours, int16_t& num_minutes,
                           int16_t& num_seconds) {
    ::DateDifference(Date1, Date2, num_years, num_months, num_days, num_hours, num_minutes,
                     num_seconds);
}
