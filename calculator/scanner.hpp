// The token scanner's own interface beyond yylex (see tokens.hpp).
#pragma once

#include <cstddef>

#include "tokens.hpp"

// The scanner asks it where standard input ends: 0 would say that more
// input follows, 1 that the input has ended, which is always so. Inline, so
// that the question folds away in every build (a call out of line could not
// be dropped in position-independent code).
inline int yywrap() {
  return 1;
}

// Drops all input state, so that the next yylex starts on fresh input.
void scanner_reset();

// The parse engine's way into the scanner. Between tokens, yylex keeps its
// place as an offset in the input buffer; the engine keeps it here instead,
// in a register, for the whole parse, and each token is scanned from there.
// It is taken from yylex's place when the engine starts, and the engine
// hands it back before it returns, so that yylex goes on where the engine
// stopped. Like a token, it is never copied and hands out no pointer; while
// the engine holds it, tokens are not NUL-terminated as yytext.
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
  // Back to yylex's place; the position is not used again.
  void hand_back();

 private:
  char* at_;  // the next byte to scan, as the last refill left the buffer
  SemValue value_{};
};
