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
// before the first byte that is not. The next token's position waits for
// this, so it is kept short: four operations after the load, and the count.
// Each byte less '0' is 0 to 9 for a digit; the first byte that is not a
// digit gives 10 or more, or borrows and gives 0xd0 or more, and so has its
// top bit set, or gets it from adding 0x76. Borrows and carries only run
// towards later bytes, past the first non-digit, where nothing is read.
inline unsigned run(std::uint64_t word) {
  const std::uint64_t less_zero = word - bytewise('0');
  const std::uint64_t flags = ((less_zero + bytewise(0x76)) | less_zero) & bytewise(0x80);
  return static_cast<unsigned>(std::countr_zero(flags)) / 8;  // 8 when all are digits
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
