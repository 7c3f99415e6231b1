#include "nc/NcError.h"

#include <gtest/gtest.h>

#include "machine/MachineConfig.h"
#include "nc/Interpreter.h"
#include "support/NcTestKit.h"

namespace soustruh {
namespace {

TEST(NcErrorText, MessageSuffixAndColoursFollowTheCode) {
  const char* const colours[] = {"ButtonFace", "Black", "White",     "Blue",
                                 "Yellow",     "Red",   "WindowText"};
  for (const auto& row : test::CaseRows("error_texts.txt")) {
    const ErrorDisplay d = ErrorText(static_cast<NcError>(std::stoi(row[0])), std::stoi(row[1]),
                                     std::stoi(row[2]), row[3] == "bare");
    EXPECT_EQ(d.text, row[6]);
    EXPECT_EQ(colours[static_cast<int>(d.background)], row[4]) << row[6];
    EXPECT_EQ(colours[static_cast<int>(d.foreground)], row[5]) << row[6];
  }
}

TEST(NcErrorText, EveryCodeUpTo32HasItsOwnMessageAndTheInterpreterReportsItsOwn) {
  for (int code = 1; code <= 32; ++code) {
    const auto error = static_cast<NcError>(code);
    EXPECT_TRUE(IsKnownError(error)) << code;
    EXPECT_EQ(ErrorText(error, 1, 1, true).text.find("neznámé"), std::string::npos) << code;
  }
  EXPECT_FALSE(IsKnownError(33));
  MachineConfig config;
  NcInterpreter nc(config);
  nc.setLineNumber(3);
  NcBlock block;
  nc.ParseBlock("N20 G01X20.", true, false, block);
  EXPECT_EQ(nc.ErrorText(false).text, "Nesprávný formát bloku (blok N20, řádek 3).");
  EXPECT_EQ(nc.ErrorText(true).text, "Nesprávný formát bloku");
  nc.ParseBlock("G04", true, false, block);
  EXPECT_EQ(nc.ErrorText(false).text, "Neznámá funkce (řádek 3).");
}

}  // namespace
}  // namespace soustruh
