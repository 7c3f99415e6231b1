#pragma once
// The NC interpreter's block parser and the state it shares with the rest of the interpreter:
// the current error, the current block and line numbers, the variable table and the four
// character-class column sets the syntax highlighter reads.
//
// Every fault is reported through error(); nothing throws. Each NcInterpreter is independent, so
// several can be used side by side (the highlighter uses its own).

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "nc/MachinePoint.h"
#include "nc/NcBlock.h"
#include "nc/NcError.h"
#include "nc/NcLimits.h"
#include "nc/ValueReaders.h"

namespace soustruh {

enum class HighlightClass { Word, Number, Variable, Comment };
inline constexpr int kHighlightClassCount = 4;

// Highlighting covers columns 1..126 of a line; bit c is column c, bit 0 is never set. Columns
// count characters (UTF-8 code points), not bytes, so a "č" in a comment takes one column.
inline constexpr int kHighlightColumns = 126;
using ColumnSet = std::bitset<kHighlightColumns + 1>;

struct NcVariable {
  std::string name;        // letters, digits and "_", case-sensitive
  std::int32_t value = 0;  // length units
};
inline constexpr std::size_t kMaxVariables = 2;

// Removes comments from a program line: "%", "'", "*", ";" and "//" end the useful text, "(" to
// the next ")" is dropped (to the end of the line when no ")" follows), a single "/" is kept.
// Leading and trailing spaces and control characters are trimmed.
std::string StripComments(std::string_view line);

class NcInterpreter {
 public:
  // `limits` are checked while parsing (MaxPosuv, MaxOtacky, Mist_v_zas); usually the machine
  // configuration itself. They must outlive the interpreter and may change between calls.
  explicit NcInterpreter(const NcLimits& limits) : limits_(&limits) {}

  // Reads one program line into `block`. Clears the error, the block number and the class sets
  // first, then the per-block fields of `block` (I, K, R, LValue, LTarget, Motion, Skip, G groups
  // 3 and 6, M group 1). The scan stops at the first error, so the words before it are already
  // stored in `block`. With `execute` off (syntax highlighting) variables are neither defined nor
  // looked up and I/K are not checked against the interpolation; `mdi` refuses what a single
  // typed command cannot contain (N, "/", variable definitions, jumps, compensation, flow
  // functions). Comments are skipped, so the line need not be stripped.
  void ParseBlock(std::string_view line, bool execute, bool mdi, NcBlock& block);

  // The value readers on `text` at the 1-based byte `position`, which is advanced past what was
  // taken. On failure they set error() and return nullopt (see ValueReaders.h for the rules).
  std::optional<std::int32_t> ReadInteger(std::string_view text, int maxDigits,
                                          std::size_t& position);
  std::optional<std::int32_t> ReadDecimal(std::string_view text, int maxIntDigits,
                                          int maxFracDigits, bool coordinateScaling,
                                          std::size_t& position);
  // Tool and correction number of a T word, checked against the turret size of the config.
  std::optional<ToolWord> ReadToolWord(std::string_view text, std::size_t& position);

  // Whether the line starts, after spaces, with the block number word N n (or n n): the block
  // number ParseBlock would name for it, so "N10/ G54" is block 10 (and fails when executed).
  // Answers no without looking when an error is already set; otherwise the error is 0 afterwards.
  bool LineHasBlockNumber(std::string_view line, std::int32_t n);

  // Empties the variable table; the program driver does this before every executed block.
  void ClearVariables() { variableCount_ = 0; }
  std::span<const NcVariable> variables() const { return {variables_.data(), variableCount_}; }

  const ColumnSet& highlight(HighlightClass cls) const {
    return highlight_[static_cast<std::size_t>(cls)];
  }

  NcError error() const { return error_; }
  void setError(NcError code) { error_ = code; }
  // N of the block last parsed, or kNoBlockNumber.
  std::int32_t blockNumber() const { return blockNumber_; }
  void setBlockNumber(std::int32_t n) { blockNumber_ = n; }
  // 1-based program line being run, 0 before any; used only in messages.
  std::int32_t lineNumber() const { return lineNumber_; }
  void setLineNumber(std::int32_t line) { lineNumber_ = line; }

  // The message and colours of the current error; noSuffix leaves out where it happened (for an
  // MDI command).
  ErrorDisplay ErrorText(bool noSuffix) const {
    return soustruh::ErrorText(error_, blockNumber_, lineNumber_, noSuffix);
  }

  const NcLimits& limits() const { return *limits_; }

  // The machine point the current motion heads for (X a radius); set after each block by the
  // program driver and read by arcs and cutter compensation.
  const MachinePoint& commandedPosition() const { return commanded_; }
  void setCommandedPosition(const MachinePoint& point) { commanded_ = point; }

 private:
  friend class BlockScanner;

  const NcLimits* limits_;
  NcError error_ = kErrNone;
  std::int32_t blockNumber_ = kNoBlockNumber;
  std::int32_t lineNumber_ = 0;
  std::array<NcVariable, kMaxVariables> variables_;
  std::size_t variableCount_ = 0;
  std::array<ColumnSet, kHighlightClassCount> highlight_;
  MachinePoint commanded_;
};

}  // namespace soustruh
