// Random and mutated lines through the parser, checking only what must hold for any input.
// Run under the sanitizers it also shows that no input reads or writes out of bounds.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "machine/MachineConfig.h"
#include "nc/Interpreter.h"

namespace soustruh {
namespace {

const std::vector<std::string> kProgram = {
    "N10 G90 G54 G95 T0101 ; roughing",
    "N20 G92 S2500",
    "N30 G96 S180 M04 M08",
    ":R 12.5 :L -30. G01 X:R Z:L F200",
    "N40 G00 X42. Z2.",
    "/N50 G01 Z-30. F250",
    "N60 G02 X30. Z-36. I6. K0 F150",
    "N70 G03 X40. Z-41. I0 K-5.",
    "N80 G41 G01 X20. L1.5",
    "N90 G25 L200",
    "N100 G27 L10",
    "N110 M21",
    "N120 G91 U-2. W-1.",
    "N130 M30",
    "(comment only)",
    "  / G00 x0 z0 (kommentář s diakritikou) ; end",
    "G00 X0 // skip the rest",
};

// Pieces the mutator inserts: every address letter, separators, and bytes that are not ASCII.
const std::vector<std::string> kPieces = {
    "N",
    "G",
    "M",
    "F",
    "S",
    "T",
    "X",
    "Z",
    "U",
    "W",
    "I",
    "K",
    "L",
    "/",
    "//",
    ":",
    "(",
    ")",
    ";",
    "%",
    "'",
    "*",
    " ",
    "  ",
    "+",
    "-",
    ".",
    "0",
    "9",
    "99999",
    "\t",
    "\xC4\x8D",
    "\xC5\xBE",
    "\xFF",
    "\x80",
    "\xC4",
    std::string(1, '\0'),
    "\r",
    "_",
    "a",
};

std::string Mutate(std::string line, std::mt19937& rng) {
  const int edits = std::uniform_int_distribution<int>(1, 4)(rng);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, line.size())(rng);
    const std::string& piece =
        kPieces[std::uniform_int_distribution<std::size_t>(0, kPieces.size() - 1)(rng)];
    switch (std::uniform_int_distribution<int>(0, 2)(rng)) {
      case 0:
        line.insert(at, piece);
        break;
      case 1:
        if (at < line.size()) line.erase(at, 1);
        break;
      default:
        if (at < line.size()) line.replace(at, 1, piece);
        break;
    }
  }
  return line;
}

std::string RandomLine(std::mt19937& rng) {
  const std::size_t length = std::uniform_int_distribution<std::size_t>(0, 40)(rng);
  std::string line;
  for (std::size_t i = 0; i < length; ++i) {
    line += static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
  }
  return line;
}

std::vector<std::string> FuzzLines() {
  std::mt19937 rng(20240611);
  std::vector<std::string> lines = {":", "(", "/", "//", ")", "N", "T", "X:", ": ", " /"};
  lines.push_back(std::string(5000, 'X'));
  lines.push_back(std::string(300, ' ') + "G00 X0");
  lines.push_back("(" + std::string(400, 'a'));
  std::string longProgramLine;
  for (int i = 0; i < 200; ++i) longProgramLine += "G00 ";
  lines.push_back(longProgramLine);
  for (int i = 0; i < 3000; ++i) {
    const std::string& base =
        kProgram[std::uniform_int_distribution<std::size_t>(0, kProgram.size() - 1)(rng)];
    lines.push_back(i % 5 == 0 ? RandomLine(rng) : Mutate(base, rng));
  }
  return lines;
}

TEST(NcParseBlockFuzz, AnyLineLeavesTheInterpreterConsistent) {
  MachineConfig config;
  config.MaxPosuv = 5000;
  config.MaxOtacky = 4000;
  config.Mist_v_zas = 12;
  NcInterpreter nc(config);
  NcInterpreter twin(config);
  NcBlock block;
  NcBlock twinBlock;
  for (const std::string& line : FuzzLines()) {
    for (int flags = 0; flags < 4; ++flags) {
      const bool execute = (flags & 1) != 0;
      const bool mdi = (flags & 2) != 0;
      if (execute) nc.ClearVariables();
      const std::size_t variablesBefore = nc.variables().size();
      nc.ParseBlock(line, execute, mdi, block);
      const NcError error = nc.error();
      bool consistent = IsKnownError(error) && nc.variables().size() <= kMaxVariables &&
                        nc.blockNumber() >= kNoBlockNumber && nc.blockNumber() <= 9999 &&
                        (error == kErrNone) == nc.ErrorText(false).text.empty();
      for (const auto cls : {HighlightClass::Word, HighlightClass::Number, HighlightClass::Variable,
                             HighlightClass::Comment}) {
        consistent = consistent && !nc.highlight(cls).test(0);  // columns start at 1
      }
      if (!execute) consistent = consistent && nc.variables().size() == variablesBefore;
      if (!consistent) {
        ADD_FAILURE() << "line \"" << line << "\" execute " << execute << " mdi " << mdi
                      << " error " << static_cast<int>(error);
        return;
      }

      // Parsing depends only on the line, the flags and the record: a second interpreter fed
      // the same record agrees.
      twinBlock = block;
      if (execute) twin.ClearVariables();
      twin.ParseBlock(line, execute, mdi, twinBlock);
      NcBlock again = block;
      if (execute) nc.ClearVariables();
      nc.ParseBlock(line, execute, mdi, again);
      if (twin.error() != nc.error() || twinBlock != again) {
        ADD_FAILURE() << "not deterministic: \"" << line << "\"";
        return;
      }
    }
  }
}

}  // namespace
}  // namespace soustruh
