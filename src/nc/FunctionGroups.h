#pragma once
// The G and M functions the language knows and the group each belongs to. Two functions of one
// group cannot stand in the same block; the record keeps one number per group.

#include <optional>

namespace soustruh {

// G groups.
inline constexpr int kGMotion = 0;          // G00 G01 G02 G03
inline constexpr int kGCuttingSpeed = 1;    // G96 G97
inline constexpr int kGFeedUnit = 2;        // G94 G95
inline constexpr int kGSpeedLimit = 3;      // G92, one block only
inline constexpr int kGWorkOffset = 4;      // G53 G54 G55
inline constexpr int kGAdditiveOffset = 5;  // G56 G57 G58 G59
inline constexpr int kGJump = 6;            // G25 (call) G27 (jump), one block only
inline constexpr int kGUnits = 7;           // G71
inline constexpr int kGDimensions = 8;      // G90 G91
inline constexpr int kGCompensation = 9;    // G40 G41 G42
inline constexpr int kGPlane = 10;          // G18

// M groups.
inline constexpr int kMSpindle = 0;  // M03 M04 M05
inline constexpr int kMFlow = 1;     // M00 M01 M17 M30, one block only
inline constexpr int kMCoolant = 2;  // M08 M09
inline constexpr int kMQuill = 3;    // M20 M21

// Quill states (M group 3 of Active) and commands (M group 3 of Target).
inline constexpr int kQuillRetracted = 20;
inline constexpr int kQuillForward = 21;
inline constexpr int kQuillUndefined = -1;

// The group of a G number, or nullopt when the language has no such function.
std::optional<int> ClassifyG(int number);

// The group of an M number, or nullopt when the language has no such function.
std::optional<int> ClassifyM(int number);

}  // namespace soustruh
