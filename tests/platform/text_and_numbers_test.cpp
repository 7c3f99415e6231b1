// The text-file layer and locale-independent numbers: what every data file is read and written
// through.

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <limits>

#include "platform/Numbers.h"
#include "platform/TextFile.h"

#include "support/Files.h"
#include "support/TempDir.h"

namespace soustruh {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// LF followed by a lone CR is two line ends.
TEST(TextFile, SplitsAtEveryKindOfLineEnd) {
  const struct {
    std::string_view text;
    Lines lines;
    bool finalLineEnd;
  } cases[] = {{"", {}, true},
               {"a", {"a"}, false},
               {"a\r\nb\r\n", {"a", "b"}, true},
               {"a\nb\n", {"a", "b"}, true},
               {"a\rb\r", {"a", "b"}, true},
               {"a\r\n\r\nb", {"a", "", "b"}, false},
               {"a\n\rb", {"a", "", "b"}, false},
               {"\r\n", {""}, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
    EXPECT_EQ(SplitLines(c.text).lines, c.lines);
    EXPECT_EQ(SplitLines(c.text).finalLineEnd, c.finalLineEnd);
  }
}

// Plain ASCII counts as Windows-1250 (the same text either way); invalid UTF-8 after a BOM
// cannot be UTF-8.
TEST(TextFile, DecodesWindows1250OrUtf8) {
  const std::string utf8 = "Příliš žluťoučký kůň";
  const struct {
    std::string bytes;
    std::string line;
    TextEncoding encoding;
  } cases[] = {{"P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2", utf8, TextEncoding::Windows1250},
               {utf8, utf8, TextEncoding::Utf8},
               {"\xEF\xBB\xBFG00 X0", "G00 X0", TextEncoding::Utf8},
               {"G00 X0", "G00 X0", TextEncoding::Windows1250},
               {"\xEF\xBB\xBF\xE8", "ď»żč", TextEncoding::Windows1250},
               // Valid UTF-8 by chance, but decoding to U+074A, U+068E and U+D69D.
               {"V\xDD\x8AKA", "VÝŠKA", TextEncoding::Windows1250},
               {"\xDA\x9E"
                "ina",
                "Úžina", TextEncoding::Windows1250},
               {"p\xED\x9A\x9D"
                "ala",
                "píšťala", TextEncoding::Windows1250},
               {"\xC4\x8D", "č", TextEncoding::Utf8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(DecodeText(c.bytes).lines, Lines{c.line});
    EXPECT_EQ(DecodeText(c.bytes).encoding, c.encoding);
  }
}

TEST(TextFile, EveryByteSurvivesAReadAndAWrite) {
  std::string bytes;
  for (int b = 1; b < 256; ++b)
    if (b != '\r' && b != '\n') bytes.push_back(static_cast<char>(b));
  bytes += "\r\nsecond line\r\n";
  const auto content = DecodeText(bytes);
  ASSERT_EQ(content.lines.size(), 2u);
  EXPECT_EQ(EncodeText(content.lines, content.finalLineEnd), bytes);
  // The five undefined bytes become the control characters of the same number.
  EXPECT_EQ(FromWindows1250("\x81\x83\x88\x90\x98"), "\u0081\u0083\u0088\u0090\u0098");
}

// Whatever the text holds, the file stays Windows-1250, so table columns keep their widths.
TEST(TextFile, CharactersWithoutAWindows1250ByteAreWrittenAsQuestionMarks) {
  EXPECT_EQ(EncodeText({"kůň"}), "k\xF9\xF2\r\n");
  EXPECT_EQ(EncodeText({"ø €", "日本", "a\xFF"}), "? \x80\r\n??\r\na?\r\n");
  EXPECT_TRUE(FitsWindows1250("Příliš žluťoučký kůň €"));
  EXPECT_FALSE(FitsWindows1250("Ø 20"));
}

TEST(TextFile, WritesAtomicallyAndFailsCleanly) {
  test::TempDir dir;
  const fs::path file = dir.path() / "korekce.txt";
  test::WriteBytes(file, "old contents\r\n");
  ASSERT_EQ(WriteLines(file, {"ř 1", "", "T02"}), "");
  EXPECT_EQ(test::ReadBytes(file), "\xF8 1\r\n\r\nT02\r\n");
  EXPECT_EQ(ReadLines(file), (Lines{"ř 1", "", "T02"}));
  EXPECT_FALSE(ReadLines(dir.path() / "missing.txt"));
  EXPECT_NE(WriteLines(dir.path() / "nowhere" / "nulbody.txt", {"G54"}), "");
  EXPECT_FALSE(fs::exists(dir.path() / "nowhere"));
  // Nothing is left behind beside the file.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(Numbers, MillimetresRoundToNearestTiesToEven) {
  // The 32-bit limits are the readers' (the machine file test reads them).
  const std::pair<long double, std::optional<std::int32_t>> cases[] = {
      {-12.5L, -125000}, {0.00005L, 0}, {0.00015L, 2}, {-0.00005L, 0}, {0.000051L, 1}};
  for (const auto& [mm, units] : cases)
    EXPECT_EQ(MillimetresToUnits(mm), units) << static_cast<double>(mm);
}

TEST(Numbers, FormattingIgnoresTheLocale) {
  // A locale with a decimal comma, when the machine has one; the result must not change.
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  std::setlocale(LC_ALL, "cs_CZ.UTF-8");
  EXPECT_EQ(FormatFixed(12.5, 3, 8), "  12.500");
  EXPECT_EQ(FormatFixed(-0.25, 3, 3), "-0.250");
  EXPECT_EQ(FormatFixed(1234.5678, 3), "1234.568");
  EXPECT_EQ(FormatInt(-42), "-42");
  EXPECT_EQ(ParseFloat("2.5"), 2.5L);
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace soustruh
