// spillgrid: how the left shifts of one 32-bit integer spill out of 32 bits.
//
// For each count 0..63 one row: the count, 'Y' where the shift counts as a
// 32-bit overflow, the low and high 32-bit halves of the 64-bit result, and
// its 64 bits. The shift is the calculator's: sign-extend to 64 bits, shift,
// lose what passes bit 63.
//
// Exit status: 0 after the whole table, 2 for a missing or out-of-range
// argument or when standard output cannot be written.
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

// Reads the argument as a decimal integer: leading whitespace, an optional
// sign, then digits up to the first other character; no digits reads as 0.
// Returns nothing when the value has no 32-bit representation.
std::optional<std::int32_t> parse_argument(const char* text) {
  while (std::isspace(static_cast<unsigned char>(*text))) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  std::int64_t magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    if (magnitude > std::int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// Writes `text` as it may be shown on a terminal: bytes outside printable
// ASCII, and the backslash, as C escapes, so that an argument cannot carry
// control sequences into a message. Gathered in chunks, since standard error
// writes each call at once.
void write_printable(const char* text, std::FILE* out) {
  char chunk[256];
  std::size_t used = 0;
  for (; *text != '\0'; ++text) {
    const auto byte = static_cast<unsigned char>(*text);
    if (byte == '\\') {
      used += static_cast<std::size_t>(std::snprintf(chunk + used, 5, "\\\\"));
    } else if (byte >= 0x20 && byte < 0x7f) {
      chunk[used++] = static_cast<char>(byte);
    } else {
      used += static_cast<std::size_t>(std::snprintf(chunk + used, 5, "\\x%02x", byte));
    }
    if (used > sizeof chunk - 5) {
      std::fwrite(chunk, 1, used, out);
      used = 0;
    }
  }
  std::fwrite(chunk, 1, used, out);
}

struct ShiftSpillRow {
  std::int64_t s;
  std::int32_t low;
  std::int32_t high;
  char bits[65];
  bool spilled;
};

ShiftSpillRow shift_row(std::int32_t n, int i) {
  ShiftSpillRow row{};
  const std::uint64_t u = static_cast<std::uint64_t>(static_cast<std::int64_t>(n)) << i;
  row.s = static_cast<std::int64_t>(u);
  row.low = static_cast<std::int32_t>(static_cast<std::uint32_t>(u));
  row.high = static_cast<std::int32_t>(static_cast<std::uint32_t>(u >> 32));
  for (int j = 0; j < 64; ++j) row.bits[j] = static_cast<char>('0' + ((u >> (63 - j)) & 1));
  row.bits[64] = '\0';

  // The spill verdict, step by step: bit 31 must still be the sign, and the
  // high half must be the pure sign extension of a positive or negative n.
  // A result of 0 never spills, even when set bits were shifted out.
  const int sign = (static_cast<std::uint32_t>(n) >> 31) & 1;
  const int bit31 = static_cast<int>((u >> 31) & 1);
  row.spilled = bit31 != sign || (n > 0 && row.high != 0) || (n < 0 && row.high != -1);
  if (row.s == 0) row.spilled = false;
  return row;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: spillgrid INTEGER\n", stderr);
    return 2;
  }
  const std::optional<std::int32_t> n = parse_argument(argv[1]);
  if (!n) {
    std::fputs("spillgrid: '", stderr);
    write_printable(argv[1], stderr);
    std::fputs("' is outside the signed 32-bit range (-2147483648 to 2147483647)\n", stderr);
    return 2;
  }
  for (int i = 0; i < 64; ++i) {
    const ShiftSpillRow row = shift_row(*n, i);
    std::printf("%3d (%c) - %11d - %11d - %s\n", i, row.spilled ? 'Y' : ' ', row.low, row.high,
                row.bits);
  }
  const bool failed_earlier = std::ferror(stdout) != 0;
  errno = 0;
  if (std::fclose(stdout) != 0 || failed_earlier) {
    const int cause = errno;
    std::fprintf(stderr, "spillgrid: cannot write standard output%s%s\n", cause ? ": " : "",
                 cause ? std::strerror(cause) : "");
    return 2;
  }
  return 0;
}
