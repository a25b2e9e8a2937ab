// The built calculator, end to end: input through a pipe, stdout, stderr and
// the exit status checked whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "process.hpp"

namespace {

const std::string calculator = CALCULATOR_PATH;
const std::string off = "\nCalculator off.\n";
const std::string invalid = "\nInvalid expression.\n";

struct Case {
  const char* input;
  const char* out;  // standard output before the closing message
};

// Runs each case as a whole program: standard output is `out` then `ending`,
// standard error is `err`, and the exit status is `status`.
void expect_runs(std::initializer_list<Case> cases, const std::string& ending,
                 const std::string& err, int status) {
  for (const Case& c : cases) {
    RunResult r = run_with_input(calculator, c.input);
    EXPECT_EQ(r.out, std::string(c.out) + ending) << "input: " << c.input;
    EXPECT_EQ(r.err, err) << "input: " << c.input;
    EXPECT_EQ(r.status, status) << "input: " << c.input;
  }
}

// Programs that must end cleanly.
void expect_clean_runs(std::initializer_list<Case> cases) {
  expect_runs(cases, off, "", 0);
}

// Programs that must stop at a syntax error after writing `out`.
void expect_syntax_errors(std::initializer_list<Case> cases) {
  expect_runs(cases, invalid, "syntax error\n", 1);
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(CalculatorRun, CompleteSessionByteForByte) {
  std::string dump = "a: 5\nb: 11\n";
  for (char v = 'c'; v <= 'z'; ++v) dump += std::string(1, v) + ": 0\n";
  expect_clean_runs({{"a = 5;\nb = a * 2 + 1;\nc = b / 0;\nb <<= 28; b;\ndump;\n",
                      ("5\n11\ndividebyzero\noverflow\n11\n" + dump).c_str()}});
}

TEST(CalculatorRun, EmptyAndBlankInput) {
  expect_clean_runs({{"", ""}, {" \t\n\n  ", ""}});
}

TEST(CalculatorRun, PrecedenceAndAssociativity) {
  expect_clean_runs({
      {"x = 1 + 2 << 3;", "24\n"},
      {"x = 3 & 5 | 2 ^ 7;", "5\n"},
      {"x = 10 - 3 - 2;", "5\n"},
      {"100 / 10 / 5;", "2\n"},
      {"2 * 3 % 4;", "2\n"},
      {"1 << 2 << 3;", "32\n"},
      {"-2 * -3;", "6\n"},
      {"-~5; ~(-5); --5;", "6\n4\n5\n"},
      {"1 | 6 & 3;", "3\n"},
      {"(1 + 2) * 3;", "9\n"},
      {"a = 5; b = 7; a = b = a + b; a; b;", "5\n7\n12\n12\n12\n"},
      {"a = b += 3; a; b;", "3\n3\n3\n"},
  });
}

TEST(CalculatorRun, CompoundAssignmentReadsItsVariableLast) {
  expect_clean_runs({
      {"a = 1; a += a += 1; a;", "1\n4\n4\n"},
      {"a = 6; a -= 1; a *= 3; a /= 2; a %= 4; a <<= 3; a >>= 1; a;",
       "6\n5\n15\n7\n3\n24\n12\n12\n"},
      {"a = 12; a &= 10; a |= 5; a ^= 3; a;", "12\n8\n13\n14\n14\n"},
  });
}

TEST(CalculatorRun, FaultsAreReportedAndStoreNothing) {
  expect_clean_runs({
      {"a = 2147483647; a += 1; a;", "2147483647\noverflow\n2147483647\n"},
      {"a = 1; b = a / 0; b;", "1\ndividebyzero\n0\n"},
      {"a = 1; a += b = 2147483647; a; b;", "1\noverflow\n1\n2147483647\n"},
      {"1/0 + 99999999999; 99999999999 + 1/0;", "dividebyzero\noverflow\n"},
      {"2147483648; -2147483648; -2147483647 - 1;", "overflow\noverflow\n-2147483648\n"},
      {"2147483647 + 1; 1;", "overflow\n1\n"},  // the flags clear between statements
  });
}

// -2147483648 / -1 has no 32-bit quotient; a remainder by -1 is always 0.
TEST(CalculatorRun, MostNegativeDividedByMinusOne) {
  expect_clean_runs({
      {"(-2147483647 - 1) / -1;", "overflow\n"},
      {"a = -2147483647 - 1; a /= -1; a;", "-2147483648\noverflow\n-2147483648\n"},
      {"(-2147483647 - 1) % -1;", "0\n"},
      {"a = -2147483647 - 1; a %= -1; a;", "-2147483648\n0\n0\n"},
      {"(2147483647 + 1) / -1; 7 / -1;", "overflow\n-7\n"},
  });
}

TEST(CalculatorRun, KeywordsAndLongestMatch) {
  expect_clean_runs({
      {"a = 3; clear; a;", "3\n0\n"},
      {"dump ;",
       "a: 0\nb: 0\nc: 0\nd: 0\ne: 0\nf: 0\ng: 0\nh: 0\ni: 0\nj: 0\nk: 0\nl: 0\nm: 0\n"
       "n: 0\no: 0\np: 0\nq: 0\nr: 0\ns: 0\nt: 0\nu: 0\nv: 0\nw: 0\nx: 0\ny: 0\nz: 0\n"},
      {"a = 4; a<<=1; a<<1;", "4\n8\n16\n"},
  });
  expect_syntax_errors({
      {"dumpx;", ""},      // DUMP then x
      {"dumpclear;", ""},  // DUMP then CLEAR
      {"dum;", ""},        // three letters
      {"1 <<< 2;", ""},    // LSHIFT then '<'
      {"ab;", ""},
      {"A;", ""},
      {"dump", ""},
      {"x = dump;", ""},
      {"x = 1 <<= 2;", ""},
      {"(a = 1);", ""},
      {"1 + (a = 2);", ""},
      {"~-5;", ""},
      {"+5;", ""},
      {"1 == 1;", ""},
  });
}

TEST(CalculatorRun, Literals) {
  expect_clean_runs({
      {"000000000000000000000000000042;", "42\n"},
      {"010;", "10\n"},
      {"2147483647;", "2147483647\n"},
      {"99999999999999999999999999999;", "overflow\n"},
      {"12 + 0;", "12\n"},
  });
  // Longer than the input buffer: the buffer grows and the literal is read whole.
  expect_clean_runs({{(repeat("0", 99'998) + "42;").c_str(), "42\n"},
                     {(repeat("1", 1) + repeat("0", 99'999) + "; 7;").c_str(), "overflow\n7\n"}});
  expect_syntax_errors({{"0x10;", ""}, {"12abc;", ""}});
}

// Results of every length and sign, and dump lines, through many fills of
// the output buffer, so that lines are written both whole and byte by byte
// where the buffer's end cuts them.
TEST(CalculatorRun, ResultsOfEveryLengthThroughManyBufferFills) {
  std::string input;
  std::string expected;
  for (int round = 0; round < 3000; ++round) {
    std::int64_t magnitude = 1 + round % 7;
    for (int digits = 1; digits <= 10; ++digits, magnitude = magnitude * 10 + digits % 10) {
      const std::int64_t value =
          round % 2 == 0 ? magnitude % 2147483648 : -(magnitude % 2147483648);
      input += "0 " + std::string(value < 0 ? "- " : "+ ") +
               std::to_string(value < 0 ? -value : value) + ";";
      expected += std::to_string(value) + "\n";
    }
    input += "-2147483647 - 1; 0;\n";
    expected += "-2147483648\n0\n";
    if (round % 1000 == 999) {
      input += "dump;";
      for (char v = 'a'; v <= 'z'; ++v) expected += std::string(1, v) + ": 0\n";
    }
  }
  RunResult r = run_with_input(calculator, input);
  expected += off;
  // The first difference, rather than a diff of two 200 KB texts.
  const auto [at, _] = std::mismatch(expected.begin(), expected.end(), r.out.begin(), r.out.end());
  const auto offset = static_cast<std::size_t>(at - expected.begin());
  EXPECT_EQ(r.out.size(), expected.size());
  EXPECT_EQ(r.out.substr(offset, 40), expected.substr(offset, 40)) << "at byte " << offset;
  EXPECT_EQ(r.status, 0);
}

TEST(CalculatorRun, SyntaxErrorsEndTheRun) {
  expect_syntax_errors({
      {"5;;", "5\n"},
      {"5;; 6;", "5\n"},
      {";", ""},
      {"5", ""},
      {"a = 1 2;", ""},
      {"dump clear;", ""},
  });
}

TEST(CalculatorRun, CarriageReturnIsNotWhitespace) {
  expect_syntax_errors({{"a = 1;\r\nb = 2;\r\n", "1\n"}});
}

// Bytes outside 7-bit ASCII and NUL are unexpected characters, never a
// silent end of input that drops the rest.
TEST(CalculatorRun, ForeignBytesAreSyntaxErrors) {
  expect_syntax_errors({
      {"1; \x80 2;", "1\n"},
      {"1; \xff;", "1\n"},
      {"1; caf\xc3\xa9;", "1\n"},
  });
  RunResult r = run_with_input(calculator, std::string("1;\0 2;", 6));
  EXPECT_EQ(r.out, "1\n" + invalid);
  EXPECT_EQ(r.err, "syntax error\n");
  EXPECT_EQ(r.status, 1);
}

// The parse stack holds 500 entries; each example is checked on both sides.
TEST(CalculatorRun, StackLimit) {
  struct Limit {
    std::string fits, overflows, value;
  };
  const Limit limits[] = {
      {repeat("(", 496) + "7" + repeat(")", 496) + ";",
       repeat("(", 497) + "7" + repeat(")", 497) + ";", "7"},
      {repeat("a = ", 248) + "7;", repeat("a = ", 249) + "7;", "7"},
      {repeat("-", 497) + "7;", repeat("-", 498) + "7;", "-7"},
      {repeat("~", 497) + "7;", repeat("~", 498) + "7;", "-8"},
  };
  for (const Limit& l : limits) {
    RunResult fits = run_with_input(calculator, "1;" + l.fits);
    EXPECT_EQ(fits.out, "1\n" + l.value + "\n" + off) << l.fits;
    EXPECT_EQ(fits.status, 0);
    RunResult over = run_with_input(calculator, "1;" + l.overflows);
    EXPECT_EQ(over.out, "1\n" + invalid) << l.overflows;
    EXPECT_EQ(over.err, "yacc stack overflow\n");
    EXPECT_EQ(over.status, 1);
  }
  // Left-recursive chains never deepen the stack.
  expect_clean_runs({{(repeat("1 + ", 100'000) + "1;").c_str(), "100001\n"}});
}

TEST(CalculatorRun, UnreadableInputIsFatal) {
  RunOptions directory;
  directory.stdin_kind = RunOptions::Stdin::file;
  directory.input = "/";
  RunOptions closed;
  closed.stdin_kind = RunOptions::Stdin::closed;
  for (const RunOptions& options : {directory, closed}) {
    RunResult r = run_program(calculator, {}, options);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "input in flex scanner failed\n");
    EXPECT_EQ(r.status, 2);
  }
}

TEST(CalculatorRun, UnwritableOutputIsAnError) {
  RunOptions options;
  options.input = "1;\n";
  options.stdout_path = "/dev/full";
  RunResult r = run_program(calculator, {}, options);
  EXPECT_NE(r.err.find("cannot write standard output"), std::string::npos) << r.err;
  EXPECT_EQ(r.status, 2);
}

TEST(CalculatorRun, ArgumentsAreIgnored) {
  RunOptions options;
  options.input = "1;";
  RunResult r = run_program(calculator, {"--help", "x"}, options);
  EXPECT_EQ(r.out, "1\n" + off);
  EXPECT_EQ(r.status, 0);
}

}  // namespace
