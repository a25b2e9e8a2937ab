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
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace output_detail {

constexpr auto digit_pairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

constexpr std::uint32_t powers_of_ten[] = {1,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000, 1000000000};

// Decimal digits in u, 1 for 0.
inline int decimal_digits(std::uint32_t u) {
  // bit_width * log10(2), which is the count or one more than the count less one.
  const int guess = (std::bit_width(u | 1) * 1233) >> 12;
  return guess - ((u | 1) < powers_of_ten[guess] ? 1 : 0) + 1;
}

inline void put_pair(char* at, std::uint32_t two_digits) {
  std::memcpy(at, &digit_pairs[2 * two_digits], 2);
}

}  // namespace output_detail

// The `length` (at most 16) bytes at `text`, of which 16 may be read.
inline void write_bytes(const char* text, std::size_t length) {
#if defined(__GLIBC__)
  // When the stream's buffer has room, copy into it as putc_unlocked does,
  // but a whole line at once, with no branch on its length. A stream that is
  // line buffered or unbuffered never shows room (glibc routes every byte
  // through its overflow path there), so a terminal still gets each line as
  // it ends.
  std::FILE* out = stdout;
  if (out->_IO_write_end - out->_IO_write_ptr >= 16) {
    std::memcpy(out->_IO_write_ptr, text, 16);
    out->_IO_write_ptr += length;
    return;
  }
#endif
  for (std::size_t i = 0; i < length; ++i) putc_unlocked(text[i], stdout);
}

inline void write_text(std::string_view text) {
  for (char c : text) putc_unlocked(c, stdout);
}

// The decimal value and a newline.
inline void write_int_line(std::int32_t value) {
  using namespace output_detail;
  // All ten digits go to line[10..20), the newline to line[20]; the text
  // starts at the first digit that counts, or at the sign before it.
  char line[40];
  const bool negative = value < 0;
  const std::uint32_t u =
      negative ? 0U - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
  const std::uint32_t high = u / 100000000;
  const std::uint32_t low = u % 100000000;
  put_pair(line + 10, high);
  put_pair(line + 12, low / 1000000);
  put_pair(line + 14, low / 10000 % 100);
  put_pair(line + 16, low / 100 % 100);
  put_pair(line + 18, low % 100);
  line[20] = '\n';
  char* start = line + 20 - decimal_digits(u);
  start[-1] = '-';
  start -= negative ? 1 : 0;
  const auto length = static_cast<std::size_t>(line + 21 - start);
  write_bytes(start, length);
}
