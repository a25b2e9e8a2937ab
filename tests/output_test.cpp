// Result lines: built in words where the machine's words are 64 bits wide,
// digit by digit elsewhere; both must give the same text at the ends of
// every length, of either sign. Every value is checked where the exhaustive
// proofs run (exhaustive_test.cpp); this is the check for builds where they
// do not, the emulated ones above all.
#include "output.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::int32_t> values_of_every_length() {
  std::vector<std::int32_t> values{0, INT32_MAX, INT32_MIN, INT32_MIN + 1};
  std::int64_t low = 1;
  for (int digits = 1; digits <= 10; ++digits, low *= 10) {
    const std::int64_t high = std::min<std::int64_t>(low * 10 - 1, INT32_MAX);
    for (std::int64_t v : {low, high}) {
      values.push_back(static_cast<std::int32_t>(v));
      values.push_back(static_cast<std::int32_t>(-v));
    }
  }
  return values;
}

TEST(Output, LineFormatsAgreeForEveryLengthAndSign) {
  for (std::int32_t value : values_of_every_length()) {
    const std::string expected = std::to_string(value) + "\n";
    char by_digits[16];
    EXPECT_EQ(std::string(by_digits, output_detail::format_by_digits(value, by_digits)), expected);
#if CALC_HAVE_64BIT_WORDS
    char in_words[16];
    EXPECT_EQ(std::string(in_words, output_detail::format_in_words(value, in_words)), expected);
#endif
  }
}

}  // namespace
