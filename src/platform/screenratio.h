#pragma once

#include <QString>

// The screen ratios a user may give Qt in its environment: QT_SCALE_FACTOR, by which every
// pixel the windows measure is drawn as that many display pixels, and QT_SCREEN_SCALE_FACTORS,
// one ratio a monitor ("2;1" in the monitors' order, or "name=2;other=1"). Qt takes any number
// it can read, and one that is not a finite ratio of sensible size (0, a negative one, nan, inf,
// 1e-9, 1e9) leaves the program without a window or ends it; a ratio of 0.1 to 10 is taken
// here, wider than any desktop offers (0.5 to 5) and far inside what the display holds.
namespace screenratio {

constexpr double kLeast = 0.1;
constexpr double kMost = 10.0;

bool Usable(double ratio);

// The line that says why the variable's text is not taken, or an empty text when it is usable.
// An empty text is no ratio at all and passes; so do the empty entries of a list.
QString Fault(const char* variable, const QString& text);

// Takes every variable of the environment that Fault refuses away before Qt reads it, saying
// so in one line each on standard error: the screens are drawn as if it were not set. Run
// before the application object is made.
void IgnoreUnusable();

} // namespace screenratio
