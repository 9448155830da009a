#include "Form1.h"

// The check for a newer version on the maker's web site, run once during the start-up.
void Form1::CheckForUpdate() {}
