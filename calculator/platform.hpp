// Everything in the calculator that depends on the compiler, the word size,
// the byte order or the C library, in one place. Each fast way has a portable
// twin beside it; the build chooses at compile time, and CALC_PORTABLE (the
// `portable` preset) forces every portable twin, so that the test suite runs
// them on any machine.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

// Result lines are built eight digits to a word where the machine's words are
// 64 bits wide; 32-bit targets format them digit by digit instead.
#if UINTPTR_MAX >= UINT64_MAX && !defined(CALC_PORTABLE)
#define CALC_HAVE_64BIT_WORDS 1
#else
#define CALC_HAVE_64BIT_WORDS 0
#endif

// Direct stores into a stream's output buffer need the C library's stream
// layout: glibc's public FILE fields, which its own putc_unlocked uses. Other
// C libraries may define __GLIBC__ too (uClibc-ng does) with another layout,
// so the test is for glibc's own FILE header, not for the macro alone.
#if defined(__GLIBC__) && !defined(__UCLIBC__) && defined(__struct_FILE_defined) && \
    defined(_IO_EOF_SEEN) && !defined(CALC_PORTABLE)
#define CALC_HAVE_STREAM_BUFFER_ACCESS 1
#else
#define CALC_HAVE_STREAM_BUFFER_ACCESS 0
#endif

// How the parse engine passes from one step to the next. Where the compiler
// has labels as values (GNU C++, which g++ and clang speak), each handler
// ends in an indirect jump of its own straight to the next handler, so the
// processor predicts every jump from where it stands ("threaded" dispatch).
// Elsewhere, and in the portable build, a loop runs a switch on the
// handler's number: standard C++, one shared jump. The engine writes each
// handler once, for both:
//
//   CALC_DISPATCH_EXTENSIONS_BEGIN     (GNU C++ only: quiet -Wpedantic)
//   targets[] = {CALC_DISPATCH_TARGET(name, number), ...};
//   CALC_DISPATCH_LOOP_BEGIN(target)   (jump to the first handler)
//   CALC_HANDLER(name, number): ... CALC_DISPATCH_JUMP(target); ...
//   CALC_DISPATCH_LOOP_END
//   CALC_DISPATCH_EXTENSIONS_END
//
// A target is what CALC_DISPATCH_TARGET gave for a handler: its label's
// address, or its number.
#if defined(__GNUC__) && !defined(CALC_PORTABLE)
using calc_dispatch_target = const void*;
#define CALC_DISPATCH_EXTENSIONS_BEGIN \
  _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wpedantic\"")
#define CALC_DISPATCH_EXTENSIONS_END _Pragma("GCC diagnostic pop")
#define CALC_DISPATCH_TARGET(name, number) &&handler_##name
#define CALC_DISPATCH_LOOP_BEGIN(target) goto*(target);
#define CALC_HANDLER(name, number) handler_##name
// A statement, not an expression: there is nothing to parenthesise.
#define CALC_DISPATCH_JUMP(target) goto*(target)  // NOLINT(bugprone-macro-parentheses)
#define CALC_DISPATCH_LOOP_END
#else
using calc_dispatch_target = unsigned;
#define CALC_DISPATCH_EXTENSIONS_BEGIN
#define CALC_DISPATCH_EXTENSIONS_END
#define CALC_DISPATCH_TARGET(name, number) (number)
#define CALC_DISPATCH_LOOP_BEGIN(target) \
  for (calc_dispatch_target calc_next = (target);;) switch (calc_next) {
#define CALC_HANDLER(name, number) case (number)
#define CALC_DISPATCH_JUMP(target) \
  {                                \
    calc_next = (target);          \
    continue;                      \
  }
#define CALC_DISPATCH_LOOP_END }
#endif

// The parse engine is fast only with the scanner compiled into it: a
// function marked so has every call it makes inlined, recursively, where
// the compiler can (GNU C++; elsewhere the compiler decides).
#if defined(__GNUC__)
#define CALC_INLINE_CALLEES [[gnu::flatten]]
#else
#define CALC_INLINE_CALLEES
#endif

namespace platform {

constexpr std::uint64_t byteswap64(std::uint64_t x) {
  x = ((x & 0x00ff00ff00ff00ffULL) << 8) | ((x >> 8) & 0x00ff00ff00ff00ffULL);
  x = ((x & 0x0000ffff0000ffffULL) << 16) | ((x >> 16) & 0x0000ffff0000ffffULL);
  return (x << 32) | (x >> 32);
}

// Eight bytes as one word with the first byte lowest, whatever the byte order.
inline std::uint64_t load_first_byte_lowest(const char* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = byteswap64(word);
  return word;
}

// The same the other way: eight bytes from a word whose lowest byte comes first.
inline void store_first_byte_lowest(char* bytes, std::uint64_t word) {
  if constexpr (std::endian::native == std::endian::big) word = byteswap64(word);
  std::memcpy(bytes, &word, sizeof word);
}

// Where `size` bytes may be stored straight into `stream`'s output buffer, or
// nullptr: then the caller writes through stdio. Of what it stores, the first
// `length` bytes count as written once stream_advance says so. A glibc stream
// that is line buffered or unbuffered never shows room (glibc routes every
// byte through its overflow path there), so a terminal still gets each line
// as it ends.
inline char* stream_room([[maybe_unused]] std::FILE* stream, [[maybe_unused]] std::size_t size) {
#if CALC_HAVE_STREAM_BUFFER_ACCESS
  if (stream->_IO_write_end - stream->_IO_write_ptr >= static_cast<std::ptrdiff_t>(size))
    return stream->_IO_write_ptr;
#endif
  return nullptr;
}

inline void stream_advance([[maybe_unused]] std::FILE* stream,
                           [[maybe_unused]] std::size_t length) {
#if CALC_HAVE_STREAM_BUFFER_ACCESS
  stream->_IO_write_ptr += length;
#endif
}

}  // namespace platform
