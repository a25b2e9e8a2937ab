// Finding where tokens start, 64 bytes at a time.
//
// The scanner asks this for the bytes ahead of it, then hands out tokens from
// the bit masks with no branch on what kind of token comes next. A byte
// starts a token unless it is a blank or continues the token before it: a
// digit after a digit, the rest of "dump" or "clear", the second '<' or '>'
// of a shift, or the '=' of a compound assignment. Runs of three or more '<'
// (or '>') pair up from the left, which masks cannot tell; a chunk holding
// one is left to the byte-by-byte scanner.
//
// Bytes before the chunk are not looked at: the chunk starts where the last
// token ended, and by longest match nothing there can continue into it.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

struct TokenStarts {
  std::uint64_t starts;  // bit i: a token starts at byte i
  std::uint64_t blanks;  // bit i: byte i is a space, tab or newline
  bool ambiguous;        // a run of three shift characters: not decided here
};

// Bytes past the 64 a chunk covers that its masks read: the rest of a
// keyword that starts near its end.
inline constexpr std::size_t token_starts_lookahead = 4;

namespace token_starts_detail {

// One bit per byte of the 64 at `bytes`, for each test a byte can pass.
struct ByteMasks {
  std::uint64_t blank, digit, equals, compound, less, greater, dump_at, clear_at;
};

#if defined(__SSE2__)

inline std::uint64_t bits(__m128i lanes, int block) {
  return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(lanes)))
         << (16 * block);
}

inline __m128i load16(const char* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

inline __m128i is(__m128i lanes, char ch) {
  return _mm_cmpeq_epi8(lanes, _mm_set1_epi8(ch));
}

inline ByteMasks byte_masks(const char* bytes) {
  ByteMasks m{};
  for (int block = 0; block < 4; ++block) {
    const char* at = bytes + 16 * block;
    const __m128i v = load16(at);
    m.blank |= bits(_mm_or_si128(_mm_or_si128(is(v, ' '), is(v, '\t')), is(v, '\n')), block);
    const __m128i at_least_0 = _mm_cmpeq_epi8(_mm_max_epu8(v, _mm_set1_epi8('0')), v);
    const __m128i at_most_9 = _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8('9')), v);
    m.digit |= bits(_mm_and_si128(at_least_0, at_most_9), block);
    m.equals |= bits(is(v, '='), block);
    const __m128i arithmetic =
        _mm_or_si128(_mm_or_si128(is(v, '+'), is(v, '-')), _mm_or_si128(is(v, '*'), is(v, '/')));
    const __m128i bitwise =
        _mm_or_si128(_mm_or_si128(is(v, '%'), is(v, '&')), _mm_or_si128(is(v, '|'), is(v, '^')));
    m.compound |= bits(_mm_or_si128(arithmetic, bitwise), block);
    m.less |= bits(is(v, '<'), block);
    m.greater |= bits(is(v, '>'), block);
    const __m128i dump =
        _mm_and_si128(_mm_and_si128(is(v, 'd'), is(load16(at + 1), 'u')),
                      _mm_and_si128(is(load16(at + 2), 'm'), is(load16(at + 3), 'p')));
    m.dump_at |= bits(dump, block);
    const __m128i clear = _mm_and_si128(
        _mm_and_si128(_mm_and_si128(is(v, 'c'), is(load16(at + 1), 'l')),
                      _mm_and_si128(is(load16(at + 2), 'e'), is(load16(at + 3), 'a'))),
        is(load16(at + 4), 'r'));
    m.clear_at |= bits(clear, block);
  }
  return m;
}

#else

inline ByteMasks byte_masks(const char* bytes) {
  ByteMasks m{};
  for (int i = 0; i < 64; ++i) {
    const char ch = bytes[i];
    const std::uint64_t bit = std::uint64_t{1} << i;
    if (ch == ' ' || ch == '\t' || ch == '\n') m.blank |= bit;
    if (ch >= '0' && ch <= '9') m.digit |= bit;
    if (ch == '=') m.equals |= bit;
    if (ch != '\0' && std::strchr("+-*/%&|^", ch) != nullptr) m.compound |= bit;
    if (ch == '<') m.less |= bit;
    if (ch == '>') m.greater |= bit;
    if (std::memcmp(bytes + i, "dump", 4) == 0) m.dump_at |= bit;
    if (std::memcmp(bytes + i, "clear", 5) == 0) m.clear_at |= bit;
  }
  return m;
}

#endif

}  // namespace token_starts_detail

// The 64 bytes at `bytes` must be data, and `token_starts_lookahead` more
// must be readable. Bits near the end may be wrong where a keyword runs past
// the 64 bytes; callers take tokens only from the first 56.
inline TokenStarts find_token_starts(const char* bytes) {
  const token_starts_detail::ByteMasks m = token_starts_detail::byte_masks(bytes);
  // (x << k) has bit i set where byte i - k passed the test.
  const std::uint64_t keyword_rest = (m.dump_at << 1) | (m.dump_at << 2) | (m.dump_at << 3) |
                                     (m.clear_at << 1) | (m.clear_at << 2) | (m.clear_at << 3) |
                                     (m.clear_at << 4);
  const std::uint64_t shift_pair = (m.less & (m.less << 1)) | (m.greater & (m.greater << 1));
  const std::uint64_t shift_assign =
      m.equals & (((m.less << 1) & (m.less << 2)) | ((m.greater << 1) & (m.greater << 2)));
  const std::uint64_t continues = (m.digit & (m.digit << 1)) | (m.equals & (m.compound << 1)) |
                                  shift_pair | shift_assign | keyword_rest;
  const std::uint64_t triple =
      (m.less & (m.less << 1) & (m.less << 2)) | (m.greater & (m.greater << 1) & (m.greater << 2));
  return {~m.blank & ~continues, m.blank, triple != 0};
}
