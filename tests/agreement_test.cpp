// spillgrid's 'Y' must stand exactly where the calculator reports overflow
// for n << i. Both programs are run as built; neither shares code with the
// other.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "process.hpp"

namespace {

std::vector<std::int32_t> values_to_compare() {
  std::vector<std::int32_t> values{0, 1, -1, 2, -2, INT32_MAX, INT32_MIN, INT32_MIN + 1};
  for (int bit = 1; bit < 31; bit += 3) {
    const std::int32_t p = std::int32_t{1} << bit;
    for (std::int32_t v : {p - 1, p, p + 1}) {
      values.push_back(v);
      values.push_back(-v);
    }
  }
  std::mt19937 random(20261208);
  std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
  while (values.size() < 62) values.push_back(any(random));
  return values;
}

// A calculator expression for n that raises no fault of its own.
std::string literal(std::int32_t n) {
  if (n == INT32_MIN) return "(-2147483647 - 1)";
  if (n < 0) return "(0 - " + std::to_string(-static_cast<std::int64_t>(n)) + ")";
  return std::to_string(n);
}

TEST(Agreement, SpillMarksAreTheCalculatorsOverflows) {
  const std::vector<std::int32_t> values = values_to_compare();
  std::string program;
  for (std::int32_t n : values)
    for (int i = 0; i < 64; ++i) program += literal(n) + " << " + std::to_string(i) + ";\n";
  RunResult calc = run_with_input(CALCULATOR_PATH, program);
  ASSERT_EQ(calc.status, 0) << calc.err;
  std::istringstream results(calc.out);

  for (std::int32_t n : values) {
    RunResult grid = run_program(SPILLGRID_PATH, {std::to_string(n)}, {});
    ASSERT_EQ(grid.status, 0);
    std::istringstream rows(grid.out);
    for (int i = 0; i < 64; ++i) {
      std::string row, result;
      ASSERT_TRUE(std::getline(rows, row));
      ASSERT_TRUE(std::getline(results, result));
      const bool marked = row.at(5) == 'Y';
      EXPECT_EQ(marked, result == "overflow") << n << " << " << i << ": " << row << " / " << result;
      if (!marked) {
        EXPECT_EQ(std::stoll(result), std::stoll(row.substr(10, 11))) << n << " << " << i;
      }
    }
  }
}

}  // namespace
