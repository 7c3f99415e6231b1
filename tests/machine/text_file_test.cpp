#include "machine/TextFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include "support/Files.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(TextFile, SplitsAtEveryKindOfLineEnd) {
  struct Case {
    std::string_view text;
    std::vector<std::string> lines;
    bool finalLineEnd;
  };
  const Case cases[] = {
      {"", {}, true},
      {"a", {"a"}, false},
      {"a\r\nb\r\n", {"a", "b"}, true},
      {"a\nb\n", {"a", "b"}, true},
      {"a\rb\r", {"a", "b"}, true},
      {"a\r\n\r\nb", {"a", "", "b"}, false},
      {"a\n\rb", {"a", "", "b"}, false},  // LF then a lone CR: two line ends
      {"\r\n", {""}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
    const auto content = SplitLines(c.text);
    EXPECT_EQ(content.lines, c.lines);
    EXPECT_EQ(content.finalLineEnd, c.finalLineEnd);
  }
}

TEST(TextFile, DecodesWindows1250AndUtf8) {
  // "Příliš žluťoučký kůň" in Windows-1250.
  const std::string cp1250 = "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2";
  const std::string utf8 = "Příliš žluťoučký kůň";
  EXPECT_EQ(DecodeText(cp1250).lines.front(), utf8);
  EXPECT_EQ(DecodeText(cp1250).encoding, TextEncoding::Windows1250);

  EXPECT_EQ(DecodeText(utf8).lines.front(), utf8);
  EXPECT_EQ(DecodeText(utf8).encoding, TextEncoding::Utf8);

  const auto bom = DecodeText("\xEF\xBB\xBFG00 X0");
  EXPECT_EQ(bom.lines.front(), "G00 X0");
  EXPECT_EQ(bom.encoding, TextEncoding::Utf8);

  // Pure ASCII is read as Windows-1250 (it is the same text either way).
  EXPECT_EQ(DecodeText("G00 X0").encoding, TextEncoding::Windows1250);
  // Invalid UTF-8 after a BOM cannot be UTF-8: the bytes are Windows-1250.
  EXPECT_EQ(DecodeText("\xEF\xBB\xBF\xE8").encoding, TextEncoding::Windows1250);
}

TEST(TextFile, EveryByteSurvivesAReadAndAWrite) {
  std::string all;
  for (int b = 1; b < 256; ++b) {
    if (b == '\r' || b == '\n') continue;
    all.push_back(static_cast<char>(b));
  }
  const std::string bytes = all + "\r\n" + "second line\r\n";
  const auto content = DecodeText(bytes);
  ASSERT_EQ(content.lines.size(), 2u);
  EXPECT_EQ(EncodeText(content.lines, content.finalLineEnd), bytes);
  // The undefined bytes become the control characters of the same number.
  EXPECT_EQ(FromWindows1250("\x81\x83\x88\x90\x98"), "\u0081\u0083\u0088\u0090\u0098");
}

TEST(TextFile, CharactersWithoutAWindows1250ByteSwitchToUtf8WithBom) {
  EXPECT_EQ(EncodeText({"kůň"}), "k\xF9\xF2\r\n");
  const std::string text = EncodeText({"ø €", "日本"});
  EXPECT_EQ(text, "\xEF\xBB\xBF\xC3\xB8 \xE2\x82\xAC\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n");
  const auto back = DecodeText(text);
  EXPECT_EQ(back.lines, (std::vector<std::string>{"ø €", "日本"}));
}

TEST(TextFile, WritesAtomicallyAndReadsBack) {
  TempDir dir;
  const fs::path file = dir.path() / "korekce.txt";
  WriteBytes(file, "old contents\r\n");
  ASSERT_EQ(WriteLines(file, {"ř 1", "", "T02"}), "");
  EXPECT_EQ(ReadBytes(file), "\xF8 1\r\n\r\nT02\r\n");
  // Nothing is left behind beside the file.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  const auto lines = ReadLines(file);
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines, (std::vector<std::string>{"ř 1", "", "T02"}));
  EXPECT_FALSE(ReadLines(dir.path() / "missing.txt").has_value());
}

TEST(TextFile, FailedWriteLeavesTheOldFileAndReportsTheError) {
  TempDir dir;
  const fs::path file = dir.path() / "nowhere" / "nulbody.txt";
  EXPECT_NE(WriteLines(file, {"G54"}), "");
  EXPECT_FALSE(fs::exists(file));
}

}  // namespace
}  // namespace soustruh
