#pragma once
// The number readers of the NC language. They read one value at a byte index of a text and
// report failures as an interpreter error code; they never touch an interpreter's state, so the
// correction and work offset tables can use them too. NcInterpreter wraps them with 1-based
// positions and its current error.
//
// A value must be followed by a space or the end of the text: a following "+", "-", "." or digit
// (the value is too long) is kErrNumberFormat, any other character kErrBlockFormat.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "nc/NcError.h"

namespace soustruh {

struct ReadResult {
  std::int32_t value = 0;  // 0 unless valid
  NcError error = kErrNone;
  // A value was read. An integer stays valid when only what follows it is wrong (N10/ is block
  // 10 with kErrBlockFormat); a decimal is valid only without an error.
  bool valid = false;
};

// An optional "+" and up to maxDigits (at most 18) decimal digits. No digit, or a value beyond
// 32 bits, is kErrNumberFormat and no value; otherwise the digits taken are the value even when
// the character after them is an error. `index` (0-based) is advanced past what was taken.
ReadResult ScanInteger(std::string_view text, int maxDigits, std::size_t& index);

// An optional sign, up to maxIntDigits digits, then optionally "." and up to maxFracDigits
// digits (the two together at most 18). With coordinateScaling a value with "." is in
// millimetres and one without in micrometres, and the result is in length units (X25. is
// 250000, X25 is 250); without it the value is multiplied by 1000. Rounded to nearest, ties to
// even. No digit at all, or a result beyond 32 bits, is kErrNumberFormat. `index` (0-based) is
// advanced past what was taken.
ReadResult ScanDecimal(std::string_view text, int maxIntDigits, int maxFracDigits,
                       bool coordinateScaling, std::size_t& index);

struct ToolWord {
  std::int32_t tool = 0;        // turret position, 1..turretPlaces
  std::int32_t correction = 0;  // correction number, 0 = none
  NcError error = kErrNone;
};

// The value of a T word: exactly two digits of tool number and two of correction number
// (T0101, T0300). A following character other than a space is kErrToolWordFormat; a tool part
// that is not two digits, is 0 or exceeds turretPlaces, or a correction part that is not two
// digits, is kErrNumberFormat. `index` (0-based) is advanced past the digits.
ToolWord ScanToolWord(std::string_view text, std::int32_t turretPlaces, std::size_t& index);

}  // namespace soustruh
