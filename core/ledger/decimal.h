#pragma once

#include <string>
#include <string_view>

// Quantities and amounts are held as decimal text. These two functions are the only place that
// turns that text into a number and back, independent of the process locale.

// C strtod semantics: leading white space, then the longest number prefix; the rest is ignored,
// and text without a number reads as 0. A number that is not finite ("nan", "inf", "1e999") reads
// as 0 too, so no total ever shows one.
double parseDecimal(std::string_view text);

// The number written as printf("%.02f") in the C locale.
std::string formatDecimal(double value);

// parseDecimal then formatDecimal: "12.5" becomes "12.50", "abc" becomes "0.00".
std::string normalizeDecimal(std::string_view text);
