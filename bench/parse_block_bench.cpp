// Block parser throughput over a realistic turning program: the parse an AUTOMAT run does for
// each block, and the parse the syntax highlighter does for each visible line.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "machine/MachineConfig.h"
#include "nc/Interpreter.h"

namespace {

const std::vector<std::string> kProgram = {
    "(SHAFT 40 x 120, ROUGH AND FINISH)",
    "N10 G90 G54 G56 G71 G18",
    "N20 G95 G96 S180 M04",
    "N30 G92 S2500",
    "N40 T0101 M08",
    "N50 G00 X44. Z2.",
    "N60 G01 Z-80. F250",
    "N70 G00 X46. Z2.",
    "N80 X40.",
    "N90 G01 Z-60. F250",
    "N100 X42. Z-61.",
    "N110 G00 Z2.",
    "N120 X36.",
    "N130 G01 Z-40. (first shoulder)",
    "N140 X40. Z-42.",
    "N150 G00 Z2.",
    "N160 X32.",
    "N170 G01 Z-25.",
    "N180 G02 X36. Z-27. I2. K0",
    "N190 G01 X38.",
    "N200 G00 X100. Z100. M09",
    "N210 T0202 ; finishing tool",
    "N220 G96 S220 M04",
    "N230 G42 G00 X0 Z2.",
    "N240 G01 Z0 F120",
    "N250 X28.",
    "N260 G03 X32. Z-2. I0 K-2.",
    "N270 G01 Z-25.",
    "N280 G02 X36. Z-27. I2. K0",
    "N290 G01 X38.",
    "N300 X40. Z-28.",
    "N310 Z-60.",
    "N320 G02 X44. Z-62. I2. K0",
    "N330 G40 G00 X100. Z100.",
    "N340 /M00",
    "N350 T0303 (grooving)",
    "N360 G97 S800 M03",
    "N370 G00 X42. Z-25.",
    "N380 G01 X30. F50",
    "N390 G01 X30.5 F40",
    "N400 G00 X42.",
    "N410 G91 W-3.",
    "N420 G90 G01 X30.",
    "N430 G00 X100.",
    ":D 45.5 :Z -12.25 G00 X:D Z:Z",
    "N440 G00 X100. Z150.",
    "N450 M05",
    "N460 M21",
    "N470 G25 L900",
    "N480 M30",
};

soustruh::MachineConfig Config() {
  soustruh::MachineConfig config;
  config.MaxPosuv = 6000;
  config.MaxOtacky = 4000;
  config.Mist_v_zas = 8;
  return config;
}

// As the program driver runs it: variables emptied, execute on.
void BM_ParseBlockExecute(benchmark::State& state) {
  const soustruh::MachineConfig config = Config();
  soustruh::NcInterpreter nc(config);
  soustruh::NcBlock block;
  for (auto _ : state) {
    for (const std::string& line : kProgram) {
      nc.ClearVariables();
      nc.ParseBlock(line, true, false, block);
      benchmark::DoNotOptimize(nc.error());
    }
    benchmark::DoNotOptimize(block);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kProgram.size()));
}
BENCHMARK(BM_ParseBlockExecute);

// As the syntax highlighter runs it: a scratch record per line, execute off.
void BM_ParseBlockHighlight(benchmark::State& state) {
  const soustruh::MachineConfig config = Config();
  soustruh::NcInterpreter nc(config);
  for (auto _ : state) {
    for (const std::string& line : kProgram) {
      soustruh::NcBlock scratch;
      nc.ParseBlock(line, false, false, scratch);
      benchmark::DoNotOptimize(nc.highlight(soustruh::HighlightClass::Word));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kProgram.size()));
}
BENCHMARK(BM_ParseBlockHighlight);

// The driver strips comments before parsing; this includes that copy.
void BM_StripAndParse(benchmark::State& state) {
  const soustruh::MachineConfig config = Config();
  soustruh::NcInterpreter nc(config);
  soustruh::NcBlock block;
  for (auto _ : state) {
    for (const std::string& line : kProgram) {
      nc.ClearVariables();
      nc.ParseBlock(soustruh::StripComments(line), true, false, block);
      benchmark::DoNotOptimize(nc.error());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kProgram.size()));
}
BENCHMARK(BM_StripAndParse);

}  // namespace

BENCHMARK_MAIN();
