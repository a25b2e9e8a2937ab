// Writing results to standard output through stdio's buffer, with its
// default buffering and no flush: the buffer goes out when it fills, at a
// newline on a terminal, and at exit.
//
// A result line is formatted without a branch on the number's length or
// sign: the lengths of results are as varied as the input, and a branch on
// them would be mispredicted about every other line.
#pragma once

#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace output_detail {

constexpr auto digit_pairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
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

__extension__ typedef unsigned __int128 Line;  // a result line, first byte lowest
static_assert(std::endian::native == std::endian::little, "a Line's bytes are stored as they are");

inline Line pair(std::uint32_t two_digits) {
  std::uint16_t bytes;
  std::memcpy(&bytes, &digit_pairs[2 * std::size_t{two_digits}], 2);
  return bytes;
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

}  // namespace output_detail

// The cause (errno) of the first failed write to standard output, 0 while
// none has failed. stdio keeps only a flag, and by the time the stream is
// closed the cause is gone: an unbuffered stream fails at the write itself.
inline int output_errno;

inline void put_byte(char c) {
  if (putc_unlocked(c, stdout) == EOF && output_errno == 0) output_errno = errno;
}

// The first `length` (at most 16) bytes of `line`.
inline void write_line(output_detail::Line line, std::size_t length) {
  char bytes[16];
  std::memcpy(bytes, &line, sizeof bytes);
#if defined(__GLIBC__)
  // When the stream's buffer has room, store into it as putc_unlocked does,
  // but the whole line at once, with no branch on its length. A stream that
  // is line buffered or unbuffered never shows room (glibc routes every byte
  // through its overflow path there), so a terminal still gets each line as
  // it ends.
  std::FILE* out = stdout;
  if (out->_IO_write_end - out->_IO_write_ptr >= 16) {
    std::memcpy(out->_IO_write_ptr, bytes, sizeof bytes);
    out->_IO_write_ptr += length;
    return;
  }
#endif
  for (std::size_t i = 0; i < length; ++i) put_byte(bytes[i]);
}

inline void write_text(std::string_view text) {
  for (char c : text) put_byte(c);
}

// The decimal value and a newline.
inline void write_int_line(std::int32_t value) {
  using namespace output_detail;
  // All ten digits and the newline, built in registers; then the leading
  // zeros are shifted out and the sign shifted in.
  const bool negative = value < 0;
  const std::uint32_t u =
      negative ? 0U - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  const Line digits =
      pair(u / 100000000) | Line{eight_digits(u % 100000000)} << 16 | Line{'\n'} << 80;
  const int leading_zeros = 10 - decimal_digits(u);
  const Line unsigned_line = digits >> (8 * leading_zeros);
  const Line line = negative ? unsigned_line << 8 | Line{'-'} : unsigned_line;
  const int length = 11 - leading_zeros + (negative ? 1 : 0);
  write_line(line, static_cast<std::size_t>(length));
}
