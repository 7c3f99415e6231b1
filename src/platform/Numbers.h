#pragma once
// Locale-independent reading and formatting of numbers. The decimal separator is always ".",
// whatever the user's locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace soustruh {

// Reads a decimal number in the general floating-point form: optional sign, digits with an
// optional ".", optional exponent ("1e2", "-12.5", "+.5"). The whole text must be the number
// (no blanks, no "," separator, no "inf"/"nan"). Extended precision where the platform has it.
std::optional<long double> ParseFloat(std::string_view text);

// Reads a whole decimal integer (one optional sign, then digits only) that fits in 32 bits;
// "+-5", "-+5", "--5" and " 5" are not integers.
std::optional<std::int32_t> ParseInt32(std::string_view text);

// Millimetres to length units: value × 10000 rounded to nearest, ties to even. nullopt when the
// result does not fit in 32 bits.
std::optional<std::int32_t> MillimetresToUnits(long double millimetres);

// Rounds to nearest, ties to even.
long double RoundHalfEven(long double value);

// printf-style fixed formatting, "%<width>.<precision>f", with "." always.
std::string FormatFixed(double value, int precision, int width = 0);

// printf-style "%d".
std::string FormatInt(long long value);

}  // namespace soustruh
