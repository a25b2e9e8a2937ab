// Decimal digits eight at a time, for the scanner's literals: eight bytes
// loaded as one word, first byte lowest (platform::load_first_byte_lowest),
// are tested and converted without a branch per byte.
#pragma once

#include <bit>
#include <cstdint>

namespace digits {

constexpr std::uint64_t bytewise(std::uint8_t b) {
  return 0x0101010101010101ULL * b;
}

// How many of the eight bytes in `word` (first byte lowest) are digits
// before the first byte that is not.
inline unsigned run(std::uint64_t word) {
  const std::uint64_t high_nibble_off = (word & bytewise(0xf0)) ^ bytewise(0x30);
  const std::uint64_t low_nibble_over_9 =
      ((word & bytewise(0x0f)) + bytewise(0x06)) & bytewise(0x10);
  const std::uint64_t bad = high_nibble_off | low_nibble_over_9;  // non-zero byte: not a digit
  const std::uint64_t flags = (((bad & bytewise(0x7f)) + bytewise(0x7f)) | bad) & bytewise(0x80);
  return flags == 0 ? 8 : static_cast<unsigned>(std::countr_zero(flags)) / 8;
}

// The value of the first `count` (1..8) bytes of `word`, all digits.
inline std::uint64_t value(std::uint64_t word, unsigned count) {
  // Shift the digits to the top so that the bytes below read as leading zeros.
  word = (word - bytewise('0')) << (8 * (8 - count));
  word = (word * 10) + (word >> 8);
  word = (((word & 0x000000ff000000ffULL) * (100 + (1000000ULL << 32))) +
          (((word >> 16) & 0x000000ff000000ffULL) * (1 + (10000ULL << 32)))) >>
         32;
  return word & 0xffffffffULL;
}

inline constexpr std::uint64_t powers_of_ten[] = {1,      10,      100,      1000,     10000,
                                                  100000, 1000000, 10000000, 100000000};

}  // namespace digits
