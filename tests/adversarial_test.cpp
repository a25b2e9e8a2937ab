// Hostile inputs, end to end: each must finish in bounded time with the
// documented outcome, and memory must not grow with the input (apart from a
// literal, which the buffer must hold whole).
//
// Memory is bounded by a hard address-space limit on the child, not sampled:
// a program that needs more fails its allocation and so the test, however
// briefly the peak lasts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "process.hpp"
#include "sanitizer.hpp"

namespace {

const std::string calculator = CALCULATOR_PATH;
// The program maps about 2.5 MiB; this leaves room for its buffers at their
// first sizes, but not for any that grows with the input.
constexpr long flat_memory = 16L << 20;

// AddressSanitizer reserves terabytes of address space for its shadow, and
// an emulator maps the target's whole address space, so no limit can be set
// there; the native release build checks memory.
#ifdef UNDER_ADDRESS_SANITIZER
constexpr bool memory_limited = false;
constexpr const char* why_unlimited = "no address-space limit under AddressSanitizer";
#else
constexpr bool memory_limited = !programs_are_emulated;
constexpr const char* why_unlimited = "no address-space limit under an emulator";
#endif

// The sizes below, divided by this. Under AddressSanitizer, with its 16-byte
// buffer and 8-byte reads, a tenth of them takes the same ways through the
// refills and growths (the buffer doubles twenty times instead of
// twenty-three) in a tenth of the time; the native build reads them whole.
#ifdef UNDER_ADDRESS_SANITIZER
constexpr std::size_t scaled_down = 10;
#else
constexpr std::size_t scaled_down = 1;
#endif

RunResult run(const std::string& input, long address_space = flat_memory) {
  RunOptions options;
  options.input = input;
  options.address_space_limit = memory_limited ? address_space : 0;
  options.timeout = std::chrono::seconds(120);
  RunResult r = run_program(calculator, {}, options);
  EXPECT_FALSE(r.timed_out);
  return r;
}

TEST(Adversarial, FiftyMegabyteLine) {
  std::string line;
  line.reserve(50'000'010 / scaled_down);
  while (line.size() < 50'000'000 / scaled_down) line += "1 + ";
  line += "1;";
  const long terms = static_cast<long>(line.size() / 4) + 1;
  RunResult r = run(line);
  EXPECT_EQ(r.out, std::to_string(terms) + "\n\nCalculator off.\n");
  EXPECT_EQ(r.status, 0);
}

TEST(Adversarial, TenMillionOpenersHitTheStackLimitAtOnce) {
  for (char opener : {'(', '-', '~'}) {
    RunResult r = run(std::string(10'000'000, opener) + "1;");
    EXPECT_EQ(r.out, "\nInvalid expression.\n") << opener;
    EXPECT_EQ(r.err, "yacc stack overflow\n") << opener;
    EXPECT_EQ(r.status, 1);
    EXPECT_LT(r.seconds, 10.0) << opener;
  }
}

TEST(Adversarial, HundredMegabytesOfWhitespace) {
  std::string blanks(100'000'000 / scaled_down, ' ');
  for (std::size_t i = 0; i < blanks.size(); i += 77) blanks[i] = i % 2 ? '\n' : '\t';
  RunResult r = run("7;" + blanks + "8;");
  EXPECT_EQ(r.out, "7\n8\n\nCalculator off.\n");
  EXPECT_EQ(r.status, 0);
}

TEST(Adversarial, HundredMegabyteLiteralIsReadWhole) {
  std::string literal(100'000'000 / scaled_down, '0');
  literal.back() = '5';
  // The buffer doubles to hold the literal: a few times its size at most.
  const long room = flat_memory + 3L * 100'000'000;
  RunResult zeros = run("a = " + literal + "; a;", room);
  EXPECT_EQ(zeros.out, "5\n5\n\nCalculator off.\n");
  literal.front() = '3';
  RunResult big = run("a = " + literal + "; a;", room);
  EXPECT_EQ(big.out, "overflow\n0\n\nCalculator off.\n");
  EXPECT_EQ(big.status, 0);
}

// The limit is tight enough to catch memory that grows with the input: a
// literal of 32 MB does not fit it.
TEST(Adversarial, FlatMemoryLimitCatchesGrowth) {
  if (!memory_limited) GTEST_SKIP() << why_unlimited;
  RunResult r = run("1;" + std::string(32'000'000, '7') + ";");
  EXPECT_EQ(r.out, "1\n");
  EXPECT_EQ(r.err, "fatal error - scanner input buffer overflow\n");
  EXPECT_EQ(r.status, 2);
}

TEST(Adversarial, RandomBytes) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    RunResult r = run(bytes);
    EXPECT_EQ(r.status, 1) << "round " << round;
    EXPECT_TRUE(r.err == "syntax error\n" || r.err == "yacc stack overflow\n") << r.err;
    EXPECT_EQ(r.out.substr(r.out.size() - 21), "\nInvalid expression.\n");
  }
}

}  // namespace
