// libFuzzer target: the whole calculator (scanner, parse engine, checked
// arithmetic) on arbitrary bytes as its standard input, in-process, run
// twice: by the plans engine the program ships with and by the textbook
// engine. Each run starts from fresh state through the same reset and read
// hooks the tests use. A crash, a sanitizer report, an out-of-memory, or the
// two engines differing in output, messages, status or variables is what
// the fuzzer looks for.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "arith.hpp"
#include "engine.hpp"
#include "memory_input.hpp"

namespace {

std::FILE* real_stdout;
std::FILE* report;  // the real standard error, for a disagreement

struct Outcome {
  int status;
  std::string out, err;
  std::array<std::int32_t, 26> variables;
  bool operator==(const Outcome&) const = default;
};

std::string contents(std::FILE* stream, char*& text, std::size_t& size) {
  std::fclose(stream);
  std::string copy(text, size);
  std::free(text);
  return copy;
}

Outcome run(int (*engine)(), const std::string& input) {
  use_input(input);
  char* out_text = nullptr;
  char* err_text = nullptr;
  std::size_t out_size = 0, err_size = 0;
  stdout = open_memstream(&out_text, &out_size);
  stderr = open_memstream(&err_text, &err_size);
  if (stdout == nullptr || stderr == nullptr) std::abort();
  Outcome outcome{};
  outcome.status = engine();
  outcome.out = contents(stdout, out_text, out_size);
  outcome.err = contents(stderr, err_text, err_size);
  stdout = real_stdout;
  stderr = report;
  std::copy(std::begin(id), std::end(id), outcome.variables.begin());
  return outcome;
}

void show(const char* engine, const Outcome& outcome) {
  std::fprintf(report, "%s: status %d, stderr [%s], stdout:\n%s\n", engine, outcome.status,
               outcome.err.c_str(), outcome.out.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  real_stdout = stdout;
  report = stderr;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const Outcome plans = run(engine::plans_parse, input);
  const Outcome textbook = run(engine::textbook_parse, input);
  if (plans.status != 0 && plans.status != 1) __builtin_trap();
  if (!(plans == textbook)) {
    std::fputs("the plans engine and the textbook engine disagree\n", report);
    show("plans", plans);
    show("textbook", textbook);
    __builtin_trap();
  }
  return 0;
}
