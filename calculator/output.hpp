// Writing results to standard output through stdio's buffer, with its
// default buffering and no flush: the buffer goes out when it fills, at a
// newline on a terminal, and at exit.
//
// Where a 128-bit integer exists, a result line is formatted without a branch
// on the number's length or sign: the lengths of results are as varied as
// the input, and a branch on them would be mispredicted about every other
// line. Elsewhere it is formatted digit by digit.
#pragma once

#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform.hpp"

namespace output_detail {

#if CALC_HAVE_UINT128
using Line = calc_uint128;  // a result line, first byte lowest

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

// The decimal value and a newline in line[0..16); returns the length. All ten
// digits and the newline are built in registers; then the leading zeros are
// shifted out and the sign shifted in.
inline std::size_t format_in_register(std::int32_t value, char (&line)[16]) {
  const bool negative = value < 0;
  const std::uint32_t u =
      negative ? 0U - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  const Line digits =
      Line{digit_pairs[u / 100000000]} | Line{eight_digits(u % 100000000)} << 16 | Line{'\n'} << 80;
  const int leading_zeros = 10 - decimal_digits(u);
  const Line unsigned_line = digits >> (8 * leading_zeros);
  platform::store_first_byte_lowest(line,
                                    negative ? unsigned_line << 8 | Line{'-'} : unsigned_line);
  const int length = 11 - leading_zeros + (negative ? 1 : 0);
  return static_cast<std::size_t>(length);
}
#endif

// The same, digit by digit.
inline std::size_t format_by_digits(std::int32_t value, char (&line)[16]) {
  char* const end = std::to_chars(line, line + 15, value).ptr;
  *end = '\n';
  return static_cast<std::size_t>(end + 1 - line);
}

}  // namespace output_detail

// Ends the run at the first write to standard output that fails (a full
// disk, a closed pipe with SIGPIPE ignored): "calculator: cannot write
// standard output: REASON" on standard error, status 2. A filter whose output
// is gone stops at once rather than reading and computing on; nothing more
// is written, not even what stdio still holds. `cause` is the write's errno.
[[noreturn, gnu::cold]] void output_failed(int cause);

inline void put_byte(char c) {
  if (putc_unlocked(c, stdout) == EOF) output_failed(errno);
}

// Out of line, like write_int_line: the parse engine inlines what it calls
// (CALC_INLINE_CALLEES), and these would be copied into every plan that
// prints.
[[gnu::noinline]] inline void write_text(std::string_view text) {
  for (char c : text) put_byte(c);
}

// The decimal value and a newline. Where the stream's buffer has room, the
// line goes in with one 16-byte store, with no branch on its length.
[[gnu::noinline]] inline void write_int_line(std::int32_t value) {
  char line[16];
#if CALC_HAVE_UINT128
  const std::size_t length = output_detail::format_in_register(value, line);
#else
  const std::size_t length = output_detail::format_by_digits(value, line);
#endif
  if (char* room = platform::stream_room(stdout, sizeof line)) {
    std::memcpy(room, line, sizeof line);
    platform::stream_advance(stdout, length);
    return;
  }
  write_text(std::string_view(line, length));
}
