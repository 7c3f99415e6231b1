#include "nc/NcError.h"

#include <gtest/gtest.h>

#include <tuple>

namespace soustruh {
namespace {

// The colours of each kind of code, and the suffix rules the CLI's reports cannot show: code 9
// never has one, and a code nothing raises still names where it happened. The messages of raised
// errors are checked through the CLI (tests/programs/cli).
TEST(NcErrorText, ColoursAndSuffixFollowTheCode) {
  using enum Colour;
  const std::tuple<int, std::int32_t, Colour, Colour, const char*> cases[] = {
      {0, 30, ButtonFace, Black, ""},
      {22, 30, Blue, White, "Nezadán pracovní posuv (blok N30, řádek 4)."},
      {9, 30, Blue, White, "Funkci není možné použít v režimu MDI"},
      {100, kNoBlockNumber, Yellow, Black, "Vytvořena nekonečná smyčka v programu (řádek 4)."},
      {200, 30, Red, White, "Funkce dosud nevytvořena!"},
      {99, kNoBlockNumber, Red, Yellow, "Došlo k neznámé chybě (řádek 4)."}};
  for (const auto& [code, block, background, foreground, text] : cases) {
    const ErrorDisplay d = ErrorText(static_cast<NcError>(code), block, 4, false);
    EXPECT_EQ(std::tuple(d.text, d.background, d.foreground),
              std::tuple(std::string(text), background, foreground))
        << code;
  }
  EXPECT_EQ(ErrorText(kErrNoFeed, 30, 4, true).text, "Nezadán pracovní posuv");
}

}  // namespace
}  // namespace soustruh
