// The interface between the scanner and the parser: token codes and the
// semantic value every token and grammar symbol carries.
#pragma once

#include <cstdint>

// A character token is its own (unsigned) byte value; named tokens follow; 0
// is end of input.
enum : int {
  LSHIFT = 257,
  RSHIFT,
  ADD_ASSIGN,
  SUB_ASSIGN,
  MUL_ASSIGN,
  DIV_ASSIGN,
  MOD_ASSIGN,
  LSHIFT_ASSIGN,
  RSHIFT_ASSIGN,
  AND_ASSIGN,
  OR_ASSIGN,
  XOR_ASSIGN,
  DUMP,
  CLEAR,
  NUMBER,
  LETTER,
  // A NUL byte in the input. It cannot be its own code, 0, because that means
  // end of input, and a stray NUL must not silently end the run.
  NUL_BYTE,
  TOKEN_CODE_LIMIT
};
static_assert(LETTER == 272, "named token codes run from 257 to 272");

// The tokens that carry a value (in yylval); the scanner sets none for any
// other, and the parse engines push none when they shift one.
inline constexpr int valued_tokens[] = {NUMBER, LETTER};

union SemValue {
  std::int32_t val;   // NUMBER and every expression symbol
  std::int32_t* ref;  // var: a slot of id
  char letter;        // LETTER
};

extern SemValue yylval;
extern char* yytext;
int yylex();
int yyparse();
void yyerror(const char* message);
