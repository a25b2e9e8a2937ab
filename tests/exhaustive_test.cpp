// Every 32-bit value through the two places where the calculator turns
// numbers into text and back: the result line against std::to_chars, and
// the literal reader on each value's digits. Each proof is split into parts
// by value, a test each, so that `ctest -j` runs them side by side. Too
// slow for the sanitizer and emulated builds: CTest runs them only where
// CALC_EXHAUSTIVE_TESTS is set (label `exhaustive`).
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

#include "arith.hpp"
#include "engine.hpp"
#include "memory_input.hpp"
#include "output.hpp"
#include "platform.hpp"
#include "scanner.hpp"

namespace {

constexpr int parts = 4;

// Whether the first n (at most 16) bytes at a and b are the same, without a
// call: two words each, the bytes past n masked off.
bool same_bytes(const char* a, const char* b, std::size_t n) {
  using platform::load_first_byte_lowest;
  const auto first = [](std::size_t bytes) {
    return bytes >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * bytes)) - 1;
  };
  return (((load_first_byte_lowest(a) ^ load_first_byte_lowest(b)) & first(n)) |
          ((load_first_byte_lowest(a + 8) ^ load_first_byte_lowest(b + 8)) &
           first(n > 8 ? n - 8 : 0))) == 0;
}

// Every magnitude from 0 to 2^31, each as the positive and the negative
// value it can be: every int32_t once. A magnitude p * 10^4 + q with p > 0
// is written p, then q in four digits: std::to_chars(p) once for all ten
// thousand of them, and each q from a table made with std::to_chars.
class ResultLines : public testing::TestWithParam<int> {};

TEST_P(ResultLines, AreWhatToCharsWrites) {
  char four[10000][4];
  for (int q = 0; q < 10000; ++q) {
    char text[5];
    std::to_chars(text, text + 5, 10000 + q);
    std::memcpy(four[q], text + 1, 4);
  }
  constexpr std::int64_t blocks = ((std::int64_t{1} << 31) / 10000) + 1;
  const std::int64_t first_block = blocks * GetParam() / parts;
  const std::int64_t end_block = blocks * (GetParam() + 1) / parts;
  std::int64_t wrong = 0, first_wrong = 0;
  auto check = [&](std::int64_t value, const char* expected, std::size_t length) {
    char line[16];
    const std::size_t written = output_detail::format_line(static_cast<std::int32_t>(value), line);
    if ((written != length || !same_bytes(line, expected, length)) && wrong++ == 0)
      first_wrong = value;
  };
  for (std::int64_t block = first_block; block < end_block; ++block) {
    // "-", the block's leading digits, then four digits and a newline; the
    // line is compared with the 16 bytes from the first or the second.
    char expected[17] = {'-'};
    char* const digits = expected + 1;
    const std::size_t lead =
        block == 0
            ? 0
            : static_cast<std::size_t>(std::to_chars(digits, digits + 8, block).ptr - digits);
    char* const last_four = digits + lead;
    last_four[4] = '\n';
    for (std::int64_t q = 0; q < 10000; ++q) {
      const std::int64_t magnitude = block * 10000 + q;
      if (magnitude > (std::int64_t{1} << 31)) break;
      std::size_t length = lead + 5;
      if (block == 0) {  // no leading zeros
        length = static_cast<std::size_t>(std::to_chars(digits, digits + 4, q).ptr - digits);
        digits[length++] = '\n';
      } else {
        std::memcpy(last_four, four[q], 4);
      }
      if (magnitude <= INT32_MAX) check(magnitude, digits, length);
      if (magnitude > 0) check(-magnitude, expected, length + 1);
    }
  }
  EXPECT_EQ(wrong, 0) << "first wrong: " << first_wrong;
}

INSTANTIATE_TEST_SUITE_P(Part, ResultLines, testing::Range(0, parts));

// Every value from 0 to 2^32 - 1 as a literal, read the way the parse engine
// reads it (ScanPosition): its value, and overflow exactly above INT32_MAX.
// The reader converts words of eight bytes, so what it computes depends on
// where the value's digits fall in them: that is, on the leading zeros
// before them. Each value is read once, behind the count of zeros that its
// remainder by 11 chooses (11 and 10 are coprime, so each count sees every
// digit in every place, in values of every length): 0 to 7 zeros (a literal
// of up to seven bytes in one word, and every place of the digits in the
// words of the eight-at-a-time loop), 8 to 16 (a word of zeros first, or
// two), and the 19-byte literal, the longest that loop converts, and the
// 20-byte one, converted again byte by byte. The input arrives in reads of
// the build's block size, so the end of a read falls inside many literals,
// where the reader refills and reads on.
class Literals : public testing::TestWithParam<int> {};

// The zeros that value v of `length` digits is read behind.
std::size_t leading_zeros(std::uint64_t v, std::size_t length) {
  const std::uint64_t k = v % 11;
  if (k < 8) return k;
  if (k == 8) return 8 + (v / 11) % 9;  // 99 is coprime to 10 too
  return (k == 9 ? 19 : 20) - length;
}

TEST_P(Literals, ReadEveryValueBehindLeadingZeros) {
  // Values per input: its text stays far below the size where malloc maps
  // fresh memory for each copy, which cost more than the reading.
  constexpr std::uint64_t chunk = 1 << 11;
  const std::uint64_t first = (std::uint64_t{1} << 32) / parts * static_cast<unsigned>(GetParam());
  const std::uint64_t end = first + (std::uint64_t{1} << 32) / parts;
  const std::size_t number = static_cast<std::size_t>(engine::token_column(NUMBER));
  const std::size_t end_of_input = static_cast<std::size_t>(engine::token_column(0));
  // The value's digits, counted up one by one.
  char digits[16];
  std::size_t length =
      static_cast<std::size_t>(std::to_chars(digits, digits + 10, first).ptr - digits);
  char zero_bytes[32];
  std::memset(zero_bytes, '0', sizeof zero_bytes);
  std::string text(chunk * 32 + sizeof zero_bytes + sizeof digits, '\0');
  for (std::uint64_t from = first; from < end; from += chunk) {
    char* at = text.data();
    for (std::uint64_t v = from; v < from + chunk; ++v) {
      const std::size_t zeros = leading_zeros(v, length);
      // Whole words stored, the bytes past the literal overwritten next.
      std::memcpy(at, zero_bytes, sizeof zero_bytes);
      std::memcpy(at + zeros, digits, sizeof digits);
      at += zeros + length;
      *at++ = ' ';
      std::size_t i = length;
      while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
      if (i > 0) {
        ++digits[i - 1];
      } else {
        digits[0] = '1';
        digits[length++] = '0';
      }
    }
    use_input(text.substr(0, static_cast<std::size_t>(at - text.data())));
    ScanPosition position;
    for (std::uint64_t v = from; v < from + chunk; ++v) {
      const bool right = position.next_column() == number &&
                         position.value().val == static_cast<std::int32_t>(v) &&
                         overflow == (v > INT32_MAX ? 1 : 0);
      error = overflow = 0;
      if (!right) {  // the reads after it are out of step
        char value[10];
        const std::string shown(value, std::to_chars(value, value + 10, v).ptr);
        FAIL() << "misread " << std::string(leading_zeros(v, shown.size()), '0') << shown;
      }
    }
    EXPECT_EQ(position.next_column(), end_of_input);
    position.hand_back();
  }
}

INSTANTIATE_TEST_SUITE_P(Part, Literals, testing::Range(0, parts));

}  // namespace
