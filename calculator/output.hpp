// Writing results to standard output through stdio's buffer, with its
// default buffering and no flush: the buffer goes out when it fills, at a
// newline on a terminal, and at exit.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string_view>

inline void write_text(std::string_view text) {
  for (char c : text) putc_unlocked(c, stdout);
}

inline void write_int(std::int32_t value) {
  char digits[12];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  write_text({digits, static_cast<std::size_t>(result.ptr - digits)});
}
