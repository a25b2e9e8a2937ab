// The token scanner's own interface beyond yylex (see tokens.hpp).
#pragma once

#include <sys/types.h>

#include <cstddef>

#include "tokens.hpp"

// The input buffer's first size and the most bytes one read asks for, both
// set when the program is built (CMake CALC_INPUT_BUFFER_SIZE and
// CALC_READ_BLOCK_SIZE; 16384 and 8192 unless changed). The buffer doubles
// for a token that fills it, so the sizes change only how often the scanner
// refills and grows, never which tokens it finds.
#ifndef CALC_INPUT_BUFFER_SIZE
#define CALC_INPUT_BUFFER_SIZE 16384
#endif
#ifndef CALC_READ_BLOCK_SIZE
#define CALC_READ_BLOCK_SIZE 8192
#endif
inline constexpr std::size_t scanner_initial_buffer_size = CALC_INPUT_BUFFER_SIZE;
inline constexpr std::size_t scanner_read_block_size = CALC_READ_BLOCK_SIZE;
static_assert(scanner_initial_buffer_size >= 2,
              "the buffer holds at least a byte of a token and a byte read");
static_assert(scanner_read_block_size >= 1, "a read asks for at least one byte");

// How the scanner reads standard input. Tests and the fuzzer swap in reads
// that fail or that serve bytes from memory; the program keeps ::read.
using ReadFunction = ssize_t (*)(int fd, void* buffer, std::size_t count);
extern ReadFunction scanner_read;
// Whether standard input counts as a terminal; decided on the first scan.
using TerminalTest = int (*)(int fd);
extern TerminalTest scanner_isatty;

// Drops all input state, so that the next yylex starts on fresh input.
void scanner_reset();

// The parse engine's way into the scanner. Between tokens, yylex keeps its
// place in the input buffer record; the engine keeps it here instead, in a
// register, for the whole parse, and each token is scanned from there. It is
// taken from the record when the engine starts, and the engine hands it back
// before it returns, so that yylex goes on where the engine stopped. Like a
// token, it is never copied and hands out no pointer; while the engine
// holds it, tokens are not NUL-terminated as yytext.
class ScanPosition {
 public:
  ScanPosition();
  ScanPosition(const ScanPosition&) = delete;
  ScanPosition& operator=(const ScanPosition&) = delete;

  // The column in the parse tables (engine::token_column) of what yylex
  // would return from here; the position moves past the token.
  std::size_t next_column();
  // The value of the token last scanned, as yylex would set yylval; kept
  // here, not in yylval, so that it can stay in a register.
  SemValue value() const { return value_; }
  // Back to the buffer record; the position is not used again.
  void hand_back();

 private:
  char* at_;  // the next byte to scan, as the last refill left the buffer
  SemValue value_{};
};
