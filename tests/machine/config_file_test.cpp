#include "machine/ConfigFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace soustruh {
namespace {

using Lines = std::vector<std::string>;

TEST(FindSection, RangeFollowsTheHeaderUpToTheNextBracket) {
  struct Case {
    const char* name;
    Lines lines;
    std::size_t first;
    std::size_t end;
  };
  const Case cases[] = {
      {"runs to the end of the file", {"x", "[A]", "a=1", "b=2"}, 2, 4},
      {"next header ends it", {"[A]", "a=1", "[B]", "b=2"}, 1, 2},
      {"a comment with a bracket ends it", {"[A]", "a=1", "note [mm]", "b=2"}, 1, 2},
      {"header matched after trimming", {"  [A]\t\r", "a=1"}, 1, 2},
      {"only the first header counts", {"[A]", "a=1", "[A]", "a=2"}, 1, 2},
      {"header on the last line", {"a=1", "[A]"}, 2, 2},
      {"exact and case-sensitive", {"[a]", "a=1", "[A] x", "a=2", "[ A]"}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LineRange range = FindSection(c.lines, "[A]");
    EXPECT_EQ(range.first, c.first);
    EXPECT_EQ(range.end, c.end);
  }
}

TEST(ReadKeyValue, SplitsAtTheFirstEqualsAndTrims) {
  const Lines lines = {"Key=0",       "[P]",      "  MinX  =  -12.5  ",
                       "Popis = a=b", "Prázdný=", "komentář",
                       "Key=1",       "Key = 2",  "key=3",
                       "[Q]",         "Key=4"};
  const LineRange section = FindSection(lines, "[P]");
  EXPECT_EQ(ReadKeyValue(lines, section, "MinX"), "-12.5");
  EXPECT_EQ(ReadKeyValue(lines, section, "Popis"), "a=b");
  EXPECT_EQ(ReadKeyValue(lines, section, "Prázdný"), "");
  EXPECT_EQ(ReadKeyValue(lines, section, "Key"), "2") << "the last matching line of the section";
  EXPECT_EQ(ReadKeyValue(lines, section, "key"), "3") << "names are case-sensitive";
  EXPECT_EQ(ReadKeyValue(lines, section, "komentář"), "");
  EXPECT_EQ(ReadKeyValue(lines, FindSection(lines, "[X]"), "Key"), "");
}

TEST(NextListToken, CutsTokensAtCommasBlanksAndTabs) {
  struct Case {
    const char* line;
    const char* token;
    const char* rest;
  };
  const Case cases[] = {
      {"FF0000,0000FF,1.5,-2", "FF0000", "0000FF,1.5,-2"},
      {",, ,1.5 , 2", "1.5", ", 2"},
      {"0 0,10 0", "0", "0,10 0"},
      {"\t7\t8", "7", "8"},
      {"last", "last", ""},
      {" , ,, ", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::string_view rest = c.line;
    EXPECT_EQ(NextListToken(rest), c.token);
    EXPECT_EQ(rest, c.rest);
    std::string line = c.line;
    EXPECT_EQ(NextListToken(line), c.token);
    EXPECT_EQ(line, c.rest);
  }
}

TEST(ParseColour, ReadsBlueGreenRedHexadecimal) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"0000FF", 0x0000FF},     // red
      {"FF0000", 0xFF0000},     // blue
      {"FF", 0x0000FF},         // padded on the left: red
      {"ff0000", 0},            // lower case is not a digit
      {"fF", 0x00000F},         //
      {"", 0},                  //
      {"123456789", 0x123456},  // only the first six characters
      {"ÁB", 0x0B},             // a Czech letter is one character worth 0
      {"ČČČČČČF", 0},           // six characters; the seventh is ignored
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseColour(c.text), c.value);
  }
}

}  // namespace
}  // namespace soustruh
