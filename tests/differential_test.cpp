// Differential test: random programs through the built calculator and
// through the independent reference model must give the same standard
// output, standard error and exit status.
//
//   DIFFERENTIAL_PROGRAMS=100000 build/release/bin/differential_test
// runs a larger batch (default 2,000); DIFFERENTIAL_SEED moves the seeds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "process.hpp"
#include "program_generator.hpp"
#include "reference_calculator.hpp"

namespace {

std::uint64_t setting(const char* name, std::uint64_t fallback) {
  const char* text = std::getenv(name);
  return text != nullptr ? std::strtoull(text, nullptr, 10) : fallback;
}

std::string shown(const std::string& text) {
  std::string out;
  for (unsigned char c : text.substr(0, 2000)) {
    if (c == '\n' || (c >= 0x20 && c < 0x7f)) {
      out += static_cast<char>(c);
    } else {
      out += "\\x" + std::string(1, "0123456789abcdef"[c >> 4]) + "0123456789abcdef"[c & 15];
    }
  }
  return text.size() > 2000 ? out + "..." : out;
}

bool agrees(const std::string& program, const std::string& label) {
  const ReferenceOutcome expected = reference_run(program);
  const RunResult actual = run_with_input(CALCULATOR_PATH, program);
  const bool same =
      actual.out == expected.out && actual.err == expected.err && actual.status == expected.status;
  EXPECT_TRUE(same) << label << "\ninput:\n"
                    << shown(program) << "\ncalculator: status " << actual.status << " err ["
                    << actual.err << "]\n"
                    << shown(actual.out) << "\nreference: status " << expected.status << " err ["
                    << expected.err << "]\n"
                    << shown(expected.out);
  return same;
}

// Inputs on which the two sides once disagreed, kept so the fix stays.
TEST(Differential, Regressions) {
  const char* const cases[] = {
      "a = 1; a += a += 1; a;",
      "1/0 + 99999999999; 99999999999 + 1/0;",
      "(-2147483647 - 1) / -1; (-2147483647 - 1) % -1;",
  };
  for (const char* program : cases) agrees(program, "regression");
}

// The programs are dealt to two shards, which ctest runs side by side: most
// of the suite's time under an emulator is spent here.
constexpr std::uint64_t shards = 2;
class RandomPrograms : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(RandomPrograms, AgreeWithTheReference) {
  // Under AddressSanitizer the leak check at each exit doubles the cost of a
  // run; leaks are checked by the other end-to-end tests and the fuzzer.
  const char* asan = std::getenv("ASAN_OPTIONS");
  setenv("ASAN_OPTIONS", (std::string(asan != nullptr ? asan : "") + ":detect_leaks=0").c_str(), 1);
  const std::uint64_t count = setting("DIFFERENTIAL_PROGRAMS", 2000);
  const std::uint64_t base = setting("DIFFERENTIAL_SEED", 1);
  int mismatches = 0;
  for (std::uint64_t i = GetParam(); i < count && mismatches < 5; i += shards)
    if (!agrees(random_program(base + i), "seed " + std::to_string(base + i))) ++mismatches;
}
INSTANTIATE_TEST_SUITE_P(Differential, RandomPrograms, ::testing::Range<std::uint64_t>(0, shards));

}  // namespace
