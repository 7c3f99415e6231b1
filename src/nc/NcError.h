#pragma once
// Interpreter error codes and the status-line message of each. There is one current code per
// interpreter; 0 means no error and setting a code replaces the previous one.

#include <cstdint>
#include <string>

namespace soustruh {

using NcError = std::uint8_t;

inline constexpr NcError kErrNone = 0;
inline constexpr NcError kErrProgramNotFound = 1;
inline constexpr NcError kErrBlockFormat = 2;  // unexpected character, words not space-separated
inline constexpr NcError kErrBlockTooLong = 3;
inline constexpr NcError kErrJumpTargetMissing = 4;
inline constexpr NcError kErrNumberFormat = 5;  // number too long, unconvertible or out of range
inline constexpr NcError kErrToolWordFormat = 6;
inline constexpr NcError kErrBlockNumberNotFirst = 7;
inline constexpr NcError kErrUnknownFunction = 8;
inline constexpr NcError kErrNotInMdi = 9;
inline constexpr NcError kErrSameGroupTwice = 10;
inline constexpr NcError kErrBadCombination = 11;
inline constexpr NcError kErrBadCoordinates = 12;
inline constexpr NcError kErrVariableFormat = 13;
inline constexpr NcError kErrVariableUndefined = 14;
inline constexpr NcError kErrTooManyVariables = 15;
inline constexpr NcError kErrLinearFormat = 16;
inline constexpr NcError kErrCircularFormat = 17;
inline constexpr NcError kErrArcTolerance = 18;
inline constexpr NcError kErrArcUndefined = 19;
inline constexpr NcError kErrArcOver180 = 20;
inline constexpr NcError kErrArcPlane = 21;
inline constexpr NcError kErrNoFeed = 22;
inline constexpr NcError kErrNoSpindleSpeed = 23;
inline constexpr NcError kErrMissingParameter = 24;
inline constexpr NcError kErrUnknownParameter = 25;
inline constexpr NcError kErrBadSubprogramEnd = 26;
inline constexpr NcError kErrNestingTooDeep = 27;
inline constexpr NcError kErrM17InMainProgram = 28;
inline constexpr NcError kErrMachineLimit = 29;
inline constexpr NcError kErrOffsetPath = 30;
inline constexpr NcError kErrApproachPath = 31;
inline constexpr NcError kErrDeparturePath = 32;
inline constexpr NcError kErrInfiniteLoop = 100;
inline constexpr NcError kErrNotImplemented = 200;

// The block number of a block that has none (any value outside 0..9999 means none).
inline constexpr std::int32_t kNoBlockNumber = -1;

enum class Colour {
  ButtonFace,  // the system's neutral control colour
  Black,
  White,
  Blue,
  Yellow,
  Red,
  WindowText,  // the system's text colour for controls
};

struct ErrorDisplay {
  std::string text;  // UTF-8; empty for no error
  Colour background = Colour::ButtonFace;
  Colour foreground = Colour::Black;
};

// Whether `code` has a message of its own (0 and every code listed above).
bool IsKnownError(NcError code);

// The message of `code` and its colours. Unless noSuffix is set, most messages end with where
// the error happened: " (řádek L)." when blockNumber is none, " (blok NB, řádek L)." when a line
// number is known (not 0), else " (blok NB).". Codes 0, 1, 9, 19 and 200 never get a suffix.
// Unknown codes give a generic message in red and yellow.
ErrorDisplay ErrorText(NcError code, std::int32_t blockNumber, std::int32_t lineNumber,
                       bool noSuffix);

}  // namespace soustruh
