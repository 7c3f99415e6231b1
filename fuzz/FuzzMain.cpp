// One libFuzzer entry point per target: the build compiles this file once for each, with
// SOUSTRUH_FUZZ_TARGET naming it.

#include <cstdint>

#include "fuzz/FuzzTargets.h"

// Freed memory held back by AddressSanitizer (256 MiB by default) would count against the
// fuzzer's memory limit, which is meant for the program's own; a small quarantine still catches
// a use after free at once, and shorter allocation stacks keep the run target fast.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=16:malloc_context_size=8";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const soustruh::fuzz::Body body = soustruh::fuzz::TargetNamed(SOUSTRUH_FUZZ_TARGET);
  body(data, size);
  return 0;
}
