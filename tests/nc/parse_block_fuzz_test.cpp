// Random and mutated lines through the parser, checking only what must hold for any input.
// Run under the sanitizers it also shows that no input reads or writes out of bounds.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "machine/MachineConfig.h"
#include "nc/Interpreter.h"
#include "support/NcTestKit.h"

namespace soustruh {
namespace {

// The pieces the mutator puts in (every address letter, separators, bytes that are not ASCII,
// nothing), a few very long lines, 600 lines of random bytes and 2400 mutations of the blocks of
// the case table.
std::vector<std::string> FuzzLines() {
  std::vector<std::string> pieces = {"",     "//",   "  ",   "99999",
                                     "X:",   ": ",   " /",   "\xC4\x8D",
                                     "\xC4", "\x80", "\xFF", std::string(1, '\0')};
  for (const char c : std::string_view("NGMFSTXZUWIKL/:();%'*+-.09_a \t\r")) {
    pieces.emplace_back(1, c);
  }
  std::vector<std::string> lines = pieces, blocks = {"N10 G01 X20. Z-5. F100"};
  lines.push_back(std::string(5000, 'X'));
  lines.push_back(std::string(300, ' ') + "G00 X0");
  lines.push_back("(" + std::string(400, 'a'));
  lines.emplace_back();
  for (int i = 0; i < 200; ++i) lines.back() += "G00 ";
  for (const auto& row : test::CaseRows("block_cases.txt")) blocks.push_back(row[2]);
  std::mt19937 rng(20240611);
  for (std::size_t i = 0; i < 3000; ++i) {
    std::string line = blocks[i % blocks.size()];
    if (i % 5 == 0) {
      line.resize(rng() % 41);
      for (char& c : line) c = static_cast<char>(rng());
    }
    for (std::size_t edits = i % 5 == 0 ? 0 : 1 + rng() % 4; edits > 0; --edits) {
      const std::size_t at = rng() % (line.size() + 1), replaced = rng() % 3;
      line.replace(at, replaced, pieces[rng() % pieces.size()]);
    }
    lines.push_back(line);
  }
  return lines;
}

TEST(NcParseBlockFuzz, AnyLineLeavesTheInterpreterConsistent) {
  MachineConfig config;
  config.MaxPosuv = 5000;
  config.MaxOtacky = 4000;
  config.Mist_v_zas = 12;
  NcInterpreter nc(config), twin(config);
  NcBlock block, twinBlock;
  for (const std::string& line : FuzzLines()) {
    for (int flags = 0; flags < 4; ++flags) {
      const bool execute = (flags & 1) != 0, mdi = (flags & 2) != 0;
      const std::size_t variablesBefore = nc.variables().size();
      twinBlock = block;
      for (auto [interp, record] : {std::pair(&nc, &block), std::pair(&twin, &twinBlock)}) {
        if (execute) interp->ClearVariables();
        interp->ParseBlock(line, execute, mdi, *record);
      }
      const NcError error = nc.error();
      bool consistent = IsKnownError(error) && nc.variables().size() <= kMaxVariables &&
                        nc.blockNumber() >= kNoBlockNumber && nc.blockNumber() <= 9999 &&
                        (error == kErrNone) == nc.ErrorText(false).text.empty() &&
                        (execute || nc.variables().size() == variablesBefore);
      for (int cls = 0; cls < kHighlightClassCount; ++cls) {  // columns start at 1
        consistent = consistent && !nc.highlight(static_cast<HighlightClass>(cls)).test(0);
      }
      // Parsing depends only on the line, the flags and the record: a second interpreter agrees.
      if (!consistent || twin.error() != error || twinBlock != block) {
        FAIL() << "line \"" << line << "\" execute " << execute << " mdi " << mdi << " error "
               << int{error};
      }
    }
  }
}

}  // namespace
}  // namespace soustruh
