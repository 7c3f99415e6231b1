// Saving a part program and the check of entry fields: the file is always Windows-1250.

#include <gtest/gtest.h>

#include "control/ProgramFile.h"
#include "control/VirtualHost.h"
#include "platform/TextFile.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

TEST(ProgramFile, CharactersOutsideWindows1250AreSavedAsQuestionMarksAfterAMessage) {
  test::TempDir dir;
  VirtualHost host;
  const auto file = dir.path() / "hridel.nc";
  ASSERT_TRUE(SaveProgram(file, {"(Hřídel)", "N10 G00 X20. Z2."}, host));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(test::ReadBytes(file),
            "(H\xF8\xED"
            "del)\r\nN10 G00 X20. Z2.\r\n");

  ASSERT_TRUE(SaveProgram(file, {"N10 G00 X20.", "(Ø 20 mm)", "(日本)"}, host));
  EXPECT_EQ(host.messages, std::vector{ProgramCharactersMessage(2)});
  EXPECT_NE(host.messages[0].find("řádku 2"), std::string::npos);
  EXPECT_EQ(test::ReadBytes(file),
            "N10 G00 X20.\r\n(? 20 mm)\r\n(?"
            "?)\r\n");

  host.messages.clear();
  EXPECT_FALSE(SaveProgram(dir.path() / "chybi" / "hridel.nc", {"M30"}, host));
  EXPECT_EQ(host.messages, std::vector<std::string>{"Soubor 'hridel.nc' se nepodařilo zapsat "
                                                    "(soubor nebo složka neexistuje)."});
}

TEST(ProgramFile, EntryRefusesWhatWindows1250CannotHoldWithTheDefaultAlert) {
  VirtualHost host;
  EXPECT_TRUE(AcceptEntry(host, "Nůž VÝŠKA 20"));
  EXPECT_EQ(host.alerts, 0);
  EXPECT_FALSE(AcceptEntry(host, "Ø 20"));
  EXPECT_EQ(host.alerts, 1);
}

}  // namespace
}  // namespace soustruh
