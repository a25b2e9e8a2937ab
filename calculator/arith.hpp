// Checked 32-bit arithmetic and the variable store.
//
// Faults are results, not failures: the first fault of a statement latches
// `error` together with `overflow` or `dividebyzero`, later values are still
// computed, and `asg` stops storing. The statement grammar reports and clears
// the flags. Everything here is inline because every operator of every
// statement goes through it.
#pragma once

#include <cstdint>

// The 26 variables a..z; slot = letter - 'a'.
extern std::int32_t id[26];
// Per-statement fault flags, each 0 or 1; error is set with exactly one of the others.
extern int error;
extern int overflow;
extern int dividebyzero;

// Latches overflow when a has no 32-bit value; returns a unchanged either way.
[[gnu::always_inline]] inline std::int64_t chk(std::int64_t a) {
  if (a != static_cast<std::int32_t>(a) && !error) {
    overflow = 1;
    error = 1;
  }
  return a;
}

// Stores a into *slot unless the statement has already faulted; returns a.
[[gnu::always_inline]] inline std::int32_t asg(std::int32_t* slot, std::int32_t a) {
  if (!error) *slot = a;
  return a;
}

[[gnu::always_inline]] inline void latch_dividebyzero() {
  if (!error) {
    dividebyzero = 1;
    error = 1;
  }
}

// Truncating quotient. A zero divisor faults and yields the dividend.
// -2147483648 / -1 has no 32-bit quotient (and traps in hardware), so a
// divisor of -1 is computed as a checked negation: that case reports overflow.
[[gnu::always_inline]] inline std::int32_t dv(std::int32_t a, std::int32_t b) {
  if (b == 0) {
    latch_dividebyzero();
    return a;
  }
  if (b == -1) return static_cast<std::int32_t>(chk(-static_cast<std::int64_t>(a)));
  return a / b;
}

// Remainder with the sign of the dividend. Anything % -1 is 0; testing for it
// avoids the hardware trap of -2147483648 % -1.
[[gnu::always_inline]] inline std::int32_t mod(std::int32_t a, std::int32_t b) {
  if (b == 0) {
    latch_dividebyzero();
    return a;
  }
  if (b == -1) return 0;
  return a % b;
}

// The shift operators: sign-extend, shift by count & 63, bits past bit 63 are
// lost. The left shift goes through unsigned so no shift is ever undefined.
[[gnu::always_inline]] inline std::int64_t shl64(std::int32_t a, std::int32_t count) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(a))
                                   << (count & 63));
}
[[gnu::always_inline]] inline std::int64_t shr64(std::int32_t a, std::int32_t count) {
  return static_cast<std::int64_t>(a) >> (count & 63);
}

// Low 32 bits of a checked wide result.
[[gnu::always_inline]] inline std::int32_t low32(std::int64_t a) {
  return static_cast<std::int32_t>(a);
}

// Back to the start of a run: variables and flags all 0.
void arith_reset();
