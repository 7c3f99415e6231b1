// One libFuzzer entry point per target: the build compiles this file once for each, with
// SOUSTRUH_FUZZ_TARGET naming it.

#include <cstdint>

#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const soustruh::fuzz::Body body = soustruh::fuzz::TargetNamed(SOUSTRUH_FUZZ_TARGET);
  body(data, size);
  return 0;
}
