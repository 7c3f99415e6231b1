#include "nc/ValueReaders.h"

#include <algorithm>
#include <limits>

namespace soustruh {
namespace {

// With at most 18 digits a mantissa stays below 10^18 and cannot overflow 64 bits.
constexpr int kMaxDigits = 18;
constexpr std::uint64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Takes up to maxDigits digits at index into mantissa; returns how many were taken.
int TakeDigits(std::string_view text, int maxDigits, std::size_t& index, std::uint64_t& mantissa) {
  int taken = 0;
  while (index < text.size() && taken < maxDigits && IsDigit(text[index])) {
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[index] - '0');
    ++index;
    ++taken;
  }
  return taken;
}

NcError FollowingCharacterError(std::string_view text, std::size_t index) {
  if (index >= text.size() || text[index] == ' ') return kErrNone;
  const char c = text[index];
  if (c == '+' || c == '-' || c == '.' || IsDigit(c)) return kErrNumberFormat;
  return kErrBlockFormat;
}

std::uint64_t PowerOfTen(int exponent) {
  std::uint64_t p = 1;
  for (int i = 0; i < exponent; ++i) p *= 10;
  return p;
}

// mantissa × 10^exponent rounded half to even; false when the magnitude exceeds limit.
bool ScaleMagnitude(std::uint64_t mantissa, int exponent, std::uint64_t limit,
                    std::uint64_t& result) {
  if (exponent >= 0) {
    const std::uint64_t factor = PowerOfTen(exponent);
    if (mantissa > limit / factor) return false;
    result = mantissa * factor;
    return true;
  }
  const std::uint64_t divisor = PowerOfTen(-exponent);
  std::uint64_t quotient = mantissa / divisor;
  const std::uint64_t twiceRemainder = 2 * (mantissa % divisor);
  if (twiceRemainder > divisor || (twiceRemainder == divisor && quotient % 2 == 1)) ++quotient;
  if (quotient > limit) return false;
  result = quotient;
  return true;
}

}  // namespace

ReadResult ScanInteger(std::string_view text, int maxDigits, std::size_t& index) {
  maxDigits = std::clamp(maxDigits, 0, kMaxDigits);
  if (index < text.size() && text[index] == '+') ++index;
  std::uint64_t mantissa = 0;
  const int digits = TakeDigits(text, maxDigits, index, mantissa);
  if (digits == 0 || mantissa > kInt32Max) return {0, kErrNumberFormat, false};
  return {static_cast<std::int32_t>(mantissa), FollowingCharacterError(text, index), true};
}

ReadResult ScanDecimal(std::string_view text, int maxIntDigits, int maxFracDigits,
                       bool coordinateScaling, std::size_t& index) {
  maxIntDigits = std::clamp(maxIntDigits, 0, kMaxDigits);
  maxFracDigits = std::clamp(maxFracDigits, 0, kMaxDigits - maxIntDigits);
  bool negative = false;
  if (index < text.size() && (text[index] == '+' || text[index] == '-')) {
    negative = text[index] == '-';
    ++index;
  }
  std::uint64_t mantissa = 0;
  const int intDigits = TakeDigits(text, maxIntDigits, index, mantissa);
  bool point = false;
  int fracDigits = 0;
  if (index < text.size() && text[index] == '.') {
    point = true;
    ++index;
    fracDigits = TakeDigits(text, maxFracDigits, index, mantissa);
  }
  NcError error = FollowingCharacterError(text, index);
  if (intDigits + fracDigits == 0) error = kErrNumberFormat;
  if (error != kErrNone) return {0, error};

  // Millimetres with a point (×10000), micrometres without (×10); unscaled values ×1000.
  int exponent = 3 - fracDigits;
  if (coordinateScaling) exponent = point ? 4 - fracDigits : 1;
  const std::uint64_t limit = negative ? kInt32Max + 1 : kInt32Max;
  std::uint64_t magnitude = 0;
  if (!ScaleMagnitude(mantissa, exponent, limit, magnitude)) return {0, kErrNumberFormat};
  const auto signedValue = static_cast<std::int64_t>(magnitude);
  return {static_cast<std::int32_t>(negative ? -signedValue : signedValue), kErrNone, true};
}

ToolWord ScanToolWord(std::string_view text, std::int32_t turretPlaces, std::size_t& index) {
  std::uint64_t tool = 0;
  const int toolDigits = TakeDigits(text, 2, index, tool);
  std::uint64_t correction = 0;
  const int correctionDigits = TakeDigits(text, 2, index, correction);
  ToolWord word;
  if (index < text.size() && text[index] != ' ') {
    word.error = kErrToolWordFormat;
  } else if (toolDigits != 2 || tool == 0 || static_cast<std::int64_t>(tool) > turretPlaces) {
    word.error = kErrNumberFormat;
  } else if (correctionDigits != 2) {
    word.error = kErrNumberFormat;
  } else {
    word.tool = static_cast<std::int32_t>(tool);
    word.correction = static_cast<std::int32_t>(correction);
  }
  return word;
}

}  // namespace soustruh
