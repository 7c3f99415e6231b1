#include "nc/NcError.h"

#include <gtest/gtest.h>

#include "machine/MachineConfig.h"
#include "nc/Interpreter.h"

namespace soustruh {
namespace {

TEST(NcErrorText, SuffixNamesBlockAndLine) {
  struct Case {
    NcError code;
    std::int32_t block, line;
    bool noSuffix;
    const char* text;
  };
  const Case cases[] = {
      {kErrBlockFormat, 20, 3, false, "Nesprávný formát bloku (blok N20, řádek 3)."},
      {kErrNoFeed, kNoBlockNumber, 7, false, "Nezadán pracovní posuv (řádek 7)."},
      {kErrNoFeed, 30, 7, false, "Nezadán pracovní posuv (blok N30, řádek 7)."},
      {kErrNoFeed, 30, 0, false, "Nezadán pracovní posuv (blok N30)."},
      {kErrNoFeed, 10000, 0, false, "Nezadán pracovní posuv (řádek 0)."},  // not a block number
      {kErrNoFeed, 30, 7, true, "Nezadán pracovní posuv"},                 // MDI command
      {kErrNotInMdi, 30, 7, false, "Funkci není možné použít v režimu MDI"},
      {kErrProgramNotFound, 1, 1, false, "Soubor NC programu nenalezen."},
      {kErrArcUndefined, 1, 1, false, "Kruhový oblouk není správně definován"},
      {kErrNotImplemented, 1, 1, false, "Funkce dosud nevytvořena!"},
      {kErrM17InMainProgram, 5, 2, false,
       "Funkci konce podprogramu (M17) nelze použít v hlavním programu (blok N5, řádek 2)."},
      {kErrInfiniteLoop, kNoBlockNumber, 4, false,
       "Vytvořena nekonečná smyčka v programu (řádek 4)."},
      {33, kNoBlockNumber, 4, false, "Došlo k neznámé chybě (řádek 4)."},
      {255, 1, 0, true, "Došlo k neznámé chybě"},
      {kErrNone, 1, 1, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    EXPECT_EQ(ErrorText(c.code, c.block, c.line, c.noSuffix).text, c.text);
  }
}

TEST(NcErrorText, ColoursFollowTheKindOfError) {
  struct Case {
    NcError code;
    Colour background, foreground;
  };
  const Case cases[] = {
      {kErrNone, Colour::ButtonFace, Colour::Black},
      {kErrProgramNotFound, Colour::Blue, Colour::White},
      {kErrDeparturePath, Colour::Blue, Colour::White},
      {kErrInfiniteLoop, Colour::Yellow, Colour::Black},
      {kErrNotImplemented, Colour::Red, Colour::White},
      {33, Colour::Red, Colour::Yellow},
      {99, Colour::Red, Colour::Yellow},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    const ErrorDisplay d = ErrorText(c.code, kNoBlockNumber, 1, false);
    EXPECT_EQ(d.background, c.background);
    EXPECT_EQ(d.foreground, c.foreground);
  }
}

TEST(NcErrorText, EveryCodeUpTo32HasItsOwnMessage) {
  for (int code = 1; code <= 32; ++code) {
    SCOPED_TRACE(code);
    EXPECT_TRUE(IsKnownError(static_cast<NcError>(code)));
    EXPECT_EQ(ErrorText(static_cast<NcError>(code), 1, 1, true).text.find("neznámé"),
              std::string::npos);
  }
  EXPECT_FALSE(IsKnownError(33));
}

TEST(NcErrorText, InterpreterReportsItsCurrentError) {
  MachineConfig config;
  NcInterpreter nc(config);
  nc.setLineNumber(3);
  NcBlock block;
  nc.ParseBlock("N20 G01X20.", true, false, block);
  EXPECT_EQ(nc.ErrorText(false).text, "Nesprávný formát bloku (blok N20, řádek 3).");
  EXPECT_EQ(nc.ErrorText(true).text, "Nesprávný formát bloku");
  nc.ParseBlock("G04", true, false, block);
  EXPECT_EQ(nc.ErrorText(false).text, "Neznámá funkce (řádek 3).");
  nc.ParseBlock("", true, false, block);
  EXPECT_EQ(nc.ErrorText(false).text, "");
}

}  // namespace
}  // namespace soustruh
