#pragma once
// Machine alarms: the pending faults of the simulated machine and the status line `P_Stav` that
// shows the highest one, or the interpreter's message.

#include <cstdint>
#include <string>
#include <string_view>

#include "nc/NcError.h"

namespace soustruh {

// The tone of a refused Start or teach.
inline constexpr int kRefusalToneHz = 500;
inline constexpr int kRefusalToneMs = 30;

// One bit each of the 8-bit set, in the order the status line ranks them (the highest wins).
enum class AlarmKind : std::uint8_t {
  Reference = 0,         // "Najet reference": the machine must be referenced first
  TravelEnd = 1,         // a travel limit was reached
  ZeroFeed = 2,          // a sequence ran with feed 0
  QuillUndefined = 3,    // the tailstock quill is neither retracted nor clamping
  DriveSync = 4,         // a crash: cutting badly or a collision of machine parts
  TotalStop = 5,         // the TOTAL key
  InterpreterError = 6,  // the interpreter's message in InterpreterMessage
};

class AlarmSet {
 public:
  constexpr AlarmSet() = default;
  constexpr explicit AlarmSet(std::uint8_t bits) : bits_(bits) {}

  bool Has(AlarmKind kind) const { return (bits_ & Bit(kind)) != 0; }
  void Add(AlarmKind kind) { bits_ = static_cast<std::uint8_t>(bits_ | Bit(kind)); }
  void Remove(AlarmKind kind) { bits_ = static_cast<std::uint8_t>(bits_ & ~Bit(kind)); }
  void Clear() { bits_ = 0; }
  bool Empty() const { return bits_ == 0; }
  // Empty, or nothing but Reference: motion is still allowed (the reference run needs it).
  bool EmptyOrOnlyReference() const { return (bits_ & ~Bit(AlarmKind::Reference)) == 0; }
  std::uint8_t bits() const { return bits_; }

  bool operator==(const AlarmSet&) const = default;

 private:
  static constexpr std::uint8_t Bit(AlarmKind kind) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(kind));
  }
  std::uint8_t bits_ = 0;
};

// The names used in reports (CLI JSON): "Reference", "TravelEnd", ...
std::string_view AlarmName(AlarmKind kind);
// The status line text of an alarm; empty for InterpreterError, whose text is the interpreter's.
std::string_view AlarmText(AlarmKind kind);

// What the status line shows.
struct StatusLine {
  std::string text;
  Colour background = Colour::ButtonFace;
  Colour foreground = Colour::WindowText;

  bool operator==(const StatusLine&) const = default;
};

}  // namespace soustruh
