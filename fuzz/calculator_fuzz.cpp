// libFuzzer target: the whole calculator (scanner, parse engine, checked
// arithmetic) on arbitrary bytes as its standard input, in-process. Each
// input starts from fresh state through the same reset and read hooks the
// tests use. Results and diagnostics are discarded; a crash, a sanitizer
// report or an out-of-memory is what the fuzzer looks for.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "memory_input.hpp"
#include "tokens.hpp"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::FILE* null = std::fopen("/dev/null", "w");
  if (null == nullptr) return 1;
  stdout = null;
  stderr = null;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  use_input(std::string(reinterpret_cast<const char*>(data), size));
  const int result = yyparse();
  if (result != 0 && result != 1) __builtin_trap();
  return 0;
}
