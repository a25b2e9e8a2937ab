// Writing results to standard output through stdio's buffer, with its
// default buffering and no flush: the buffer goes out when it fills, at a
// newline on a terminal, and at exit.
//
// On 64-bit machines a result line is formatted without a branch on the
// number's length or sign: the lengths of results are as varied as the
// input, and a branch on them would be mispredicted often. The one branch
// left, on values of nine digits or more, is predicted: most results are
// shorter. Elsewhere a line is formatted digit by digit.
#pragma once

#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "platform.hpp"

namespace output_detail {

#if CALC_HAVE_64BIT_WORDS
// "00" to "99", each as two bytes with the first digit lowest.
constexpr auto digit_pairs = [] {
  std::array<std::uint16_t, 100> pairs{};
  for (unsigned i = 0; i < 100; ++i)
    pairs[i] = static_cast<std::uint16_t>(('0' + i / 10) | ('0' + i % 10) << 8);
  return pairs;
}();

constexpr std::uint32_t powers_of_ten[] = {1,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000, 1000000000};

// Decimal digits in u, 1 for 0.
inline int decimal_digits(std::uint32_t u) {
  // bit_width(u) * log10(2), rounded down, is the count less one, or the count.
  const int guess = (std::bit_width(u | 1) * 1233) >> 12;
  return guess - ((u | 1) < powers_of_ten[guess] ? 1 : 0) + 1;
}

// The eight decimal digits of x < 10^8 as text, the first digit lowest: the
// four-digit halves, then the pairs in each, then the digits in each pair,
// are split side by side within one word.
inline std::uint64_t eight_digits(std::uint32_t x) {
  const std::uint64_t halves = (x / 10000) | (std::uint64_t{x % 10000} << 32);
  const std::uint64_t high_pairs = ((halves * 10486) >> 20) & ((0x7fULL << 32) | 0x7fULL);
  const std::uint64_t pairs = ((halves - 100 * high_pairs) << 16) + high_pairs;
  std::uint64_t tens = ((pairs * 103) >> 10) & 0x000f000f000f000fULL;
  tens += (pairs - 10 * tens) << 8;
  return tens + 0x3030303030303030ULL;
}

// The decimal value and a newline at line[0..); returns the length. Of the 16
// bytes of room at `line`, those past the length may be overwritten. The
// digits are built eight to a word and the leading zeros shifted out; a '-'
// is stored first, and overwritten when the value is not negative.
inline std::size_t format_in_words(std::int32_t value, char* line) {
  const std::size_t negative = value < 0 ? 1 : 0;
  const std::uint32_t u =
      negative ? 0U - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  line[0] = '-';
  char* const digits_at = line + negative;
  if (u < 100000000) {
    const int count = decimal_digits(u);
    platform::store_first_byte_lowest(digits_at, eight_digits(u) >> (8 * (8 - count)));
    digits_at[count] = '\n';
    return negative + static_cast<std::size_t>(count) + 1;
  }
  const std::uint32_t top = u / 100000000;
  const std::size_t top_count = top >= 10 ? 2 : 1;
  platform::store_first_byte_lowest(digits_at,
                                    std::uint64_t{digit_pairs[top]} >> (8 * (2 - top_count)));
  platform::store_first_byte_lowest(digits_at + top_count, eight_digits(u % 100000000));
  digits_at[top_count + 8] = '\n';
  return negative + top_count + 9;
}
#endif

// The same, digit by digit.
inline std::size_t format_by_digits(std::int32_t value, char* line) {
  char* const end = std::to_chars(line, line + 15, value).ptr;
  *end = '\n';
  return static_cast<std::size_t>(end + 1 - line);
}

// The decimal value and a newline in 16 bytes of room at `line`; returns the length.
inline std::size_t format_line(std::int32_t value, char* line) {
#if CALC_HAVE_64BIT_WORDS
  return format_in_words(value, line);
#else
  return format_by_digits(value, line);
#endif
}

}  // namespace output_detail

// Ends the run at the first write to standard output that fails (a full
// disk, a closed pipe with SIGPIPE ignored): "calculator: cannot write
// standard output: REASON" on standard error, status 2. A filter whose output
// is gone stops at once rather than reading and computing on; nothing more
// is written, not even what stdio still holds. `cause` is the write's errno.
[[noreturn, gnu::cold]] void output_failed(int cause);

// Out of line, like write_int_line: the parse engine inlines what it calls
// (CALC_INLINE_CALLEES), and this would be copied into every plan that
// prints.
[[gnu::noinline]] inline void write_text(std::string_view text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) output_failed(errno);
}

// The decimal value and a newline through stdio, for when the stream's
// buffer shows no room (see write_int_line).
[[gnu::noinline]] inline void write_int_line_through_stdio(std::int32_t value) {
  char line[16];
  write_text(std::string_view(line, output_detail::format_line(value, line)));
}

// The decimal value and a newline, formatted straight into the stream's
// buffer where it has room, through stdio where it has not. The way through
// stdio is a function of its own: its local buffer would otherwise give
// every line the stack protector's check. The formatter is compiled into it
// (CALC_INLINE_CALLEES): at a distribution's -O2, g++ would call it out of
// line for every line, as it has two callers.
CALC_INLINE_CALLEES [[gnu::noinline]] inline void write_int_line(std::int32_t value) {
  if (char* room = platform::stream_room(stdout, 16)) {
    platform::stream_advance(stdout, output_detail::format_line(value, room));
    return;
  }
  write_int_line_through_stdio(value);
}
