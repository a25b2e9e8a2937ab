// Hostile inputs, end to end: each must finish in bounded time with the
// documented outcome, and memory must not grow with the input (apart from a
// literal, which the buffer must hold whole).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "process.hpp"
#include "sanitizer.hpp"

namespace {

const std::string calculator = CALCULATOR_PATH;
#ifdef UNDER_ADDRESS_SANITIZER
constexpr long flat_memory_kib = 160L * 1024;  // the sanitizer's own shadow and quarantine
#else
constexpr long flat_memory_kib = 16L * 1024;
#endif

RunResult run(const std::string& input) {
  RunOptions options;
  options.input = input;
  options.timeout = std::chrono::seconds(120);
  RunResult r = run_program(calculator, {}, options);
  EXPECT_FALSE(r.timed_out);
  return r;
}

TEST(Adversarial, FiftyMegabyteLine) {
  std::string line;
  line.reserve(50'000'010);
  while (line.size() < 50'000'000) line += "1 + ";
  line += "1;";
  const long terms = static_cast<long>(line.size() / 4) + 1;
  RunResult r = run(line);
  EXPECT_EQ(r.out, std::to_string(terms) + "\n\nCalculator off.\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_LT(r.peak_rss_kib, flat_memory_kib);
}

TEST(Adversarial, TenMillionOpenersHitTheStackLimitAtOnce) {
  for (char opener : {'(', '-', '~'}) {
    RunResult r = run(std::string(10'000'000, opener) + "1;");
    EXPECT_EQ(r.out, "\nInvalid expression.\n") << opener;
    EXPECT_EQ(r.err, "yacc stack overflow\n") << opener;
    EXPECT_EQ(r.status, 1);
    EXPECT_LT(r.seconds, 10.0) << opener;
    EXPECT_LT(r.peak_rss_kib, flat_memory_kib);
  }
}

TEST(Adversarial, HundredMegabytesOfWhitespace) {
  std::string blanks(100'000'000, ' ');
  for (std::size_t i = 0; i < blanks.size(); i += 77) blanks[i] = i % 2 ? '\n' : '\t';
  RunResult r = run("7;" + blanks + "8;");
  EXPECT_EQ(r.out, "7\n8\n\nCalculator off.\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_LT(r.peak_rss_kib, flat_memory_kib);
}

TEST(Adversarial, HundredMegabyteLiteralIsReadWhole) {
  std::string literal(100'000'000, '0');
  literal.back() = '5';
  RunResult zeros = run("a = " + literal + "; a;");
  EXPECT_EQ(zeros.out, "5\n5\n\nCalculator off.\n");
  literal.front() = '3';
  RunResult big = run("a = " + literal + "; a;");
  EXPECT_EQ(big.out, "overflow\n0\n\nCalculator off.\n");
  EXPECT_EQ(big.status, 0);
  // The buffer doubles to hold the literal: a few times its size at most.
  EXPECT_LT(big.peak_rss_kib, flat_memory_kib + 3L * 100'000);
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
