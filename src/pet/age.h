#pragma once

#include "platform/datetime.h"

#include <cstdint>
#include <string>

// The span from Date1 to Date2 in whole years, months, days, hours, minutes and seconds, each
// part carrying the sign of the span. The running date stops as soon as it reaches Date2: the
// parts after that are left as the caller had them. Both ends count to the second.
void DateDifference(Date Date1, Date Date2, int16_t& num_years, int16_t& num_months,
                    int16_t& num_days, int16_t& num_hours, int16_t& num_minutes,
                    int16_t& num_seconds);

// The age message: "Pimbolet's Age:  3 days,  2 months,  1 years".
std::string AgeMessage(int16_t days, int16_t months, int16_t years);
