#include "platform/Numbers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace soustruh {

std::optional<long double> ParseFloat(std::string_view text) {
  std::string_view body = text;
  bool negative = false;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  // from_chars would also take "inf", "nan" and a second sign; none of them is a number here.
  if (body.empty() ||
      !(std::isdigit(static_cast<unsigned char>(body.front())) || body.front() == '.'))
    return std::nullopt;
  long double value = 0;
  const auto [end, ec] =
      std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
  if (ec != std::errc() || end != body.data() + body.size() || !std::isfinite(value))
    return std::nullopt;
  return negative ? -value : value;
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
  // One sign at most, then digits: after a "+", from_chars would take a "-" as the sign.
  const std::size_t digits = !text.empty() && (text.front() == '+' || text.front() == '-') ? 1 : 0;
  if (text.size() <= digits || !std::isdigit(static_cast<unsigned char>(text[digits])))
    return std::nullopt;
  const std::string_view body = text.front() == '+' ? text.substr(1) : text;
  std::int32_t value = 0;
  const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
  if (ec != std::errc() || end != body.data() + body.size()) return std::nullopt;
  return value;
}

long double RoundHalfEven(long double value) {
  const long double floor = std::floor(value);
  const long double diff = value - floor;
  if (diff < 0.5L) return floor;
  if (diff > 0.5L) return floor + 1;
  return std::fmod(floor, 2.0L) == 0 ? floor : floor + 1;
}

std::optional<std::int32_t> MillimetresToUnits(long double millimetres) {
  const long double units = RoundHalfEven(millimetres * 10000.0L);
  if (!std::isfinite(units) || units < std::numeric_limits<std::int32_t>::min() ||
      units > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(units);
}

std::string FormatFixed(double value, int precision, int width) {
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  std::string text(buffer, result.ec == std::errc() ? result.ptr : buffer);
  if (static_cast<int>(text.size()) < width)
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

std::string FormatInt(long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace soustruh
