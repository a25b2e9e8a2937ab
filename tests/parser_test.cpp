// The parse engine in-process: results, error detection before any
// reduction, and the stack limit.
#include <gtest/gtest.h>

#include <string>

#include "arith.hpp"
#include "memory_input.hpp"
#include "tokens.hpp"

namespace {

int parse(const std::string& input) {
  use_input(input);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  int result = yyparse();
  ::testing::internal::GetCapturedStdout();
  ::testing::internal::GetCapturedStderr();
  return result;
}

TEST(Parser, AcceptsOnlyAtStatementBoundaries) {
  EXPECT_EQ(parse(""), 0);
  EXPECT_EQ(parse("a = 1; b = 2;"), 0);
  EXPECT_EQ(id[1], 2);
  EXPECT_EQ(parse("a = 1"), 1);
  EXPECT_EQ(parse("a ="), 1);
}

// The bad token is seen while the assignment is still unreduced, so
// nothing is stored.
TEST(Parser, SyntaxErrorAssignsNothing) {
  for (const char* input : {"a = 1 )", "a = 1 2;", "a = b = 3 (", "a += 4 ~"}) {
    EXPECT_EQ(parse(input), 1) << input;
    EXPECT_EQ(id[0], 0) << input;
    EXPECT_EQ(id[1], 0) << input;
  }
  EXPECT_EQ(parse("a = 7; a = 1 )"), 1);
  EXPECT_EQ(id[0], 7);
}

TEST(Parser, FlagsAreClearAfterEachStatement) {
  EXPECT_EQ(parse("1 / 0;"), 0);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(dividebyzero, 0);
  EXPECT_EQ(parse("a = 2147483647 + 1; b = 3;"), 0);
  EXPECT_EQ(id[0], 0);
  EXPECT_EQ(id[1], 3);
}

TEST(Parser, StackLimitIsExact) {
  std::string open(496, '(');
  std::string close(496, ')');
  EXPECT_EQ(parse(open + "1" + close + ";"), 0);
  EXPECT_EQ(parse(open + "(1)" + close + ";"), 1);
  // A failed parse leaves the engine ready for the next run.
  EXPECT_EQ(parse("a = 3;"), 0);
  EXPECT_EQ(id[0], 3);
}

TEST(Parser, ReadsNoTokenPastTheStatementItRuns) {
  // A statement runs when its ';' is read; the bad byte after it is only
  // seen afterwards, so the statement's store stands.
  EXPECT_EQ(parse("a = 9; )"), 1);
  EXPECT_EQ(id[0], 9);
}

}  // namespace
