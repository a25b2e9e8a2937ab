// What the parse engines share: the derived tables, the parse stack and its
// limit, the lookahead's column, and the two ways a parse fails (parser.cpp).
//
// yyparse runs the engine the build chose. The textbook engine
// (textbook_engine.cpp) is the LALR(1) algorithm one table lookup at a time:
// read it first. The plans engine (plans_engine.cpp), the one the program
// ships with, does exactly the same in fewer jumps.
#pragma once

#include <cstddef>
#include <cstdint>

#include "parse_tables.inc"
#include "tokens.hpp"

namespace engine {

namespace pt = parse_tables;

// The start entry, one for `program` and one per symbol of the statement in
// progress must fit in this many entries.
inline constexpr int stack_limit = 500;

// No array of the engine or its tables is larger: what is derived from the
// tables stays small, in memory and in the time to fill it at start.
inline constexpr std::size_t largest_array = std::size_t{64} * 1024;

// The parse stack: states, and beside each the value of the symbol that led
// there. Allocated by the first parse and kept for the whole run.
extern std::uint8_t* state_stack;
extern SemValue* value_stack;
// False when there is no memory for it.
bool allocate_stack();

// The lookahead token's column in the tables. A negative code is end of
// input; a code the grammar never uses has a column of its own.
[[gnu::always_inline]] constexpr int token_column(int code) {
  if (static_cast<unsigned>(code) < TOKEN_CODE_LIMIT) return pt::token_class[code];
  return code < 0 ? pt::token_class[0] : pt::unknown_column;
}

// Whether the token in a lookahead column carries a value (valued_tokens).
constexpr bool carries_value(int column) {
  for (const int code : valued_tokens)
    if (pt::token_class[code] == column) return true;
  return false;
}

// The generated tables as textbook::step (textbook_step.hpp) reads them.
struct GeneratedTables {
  static constexpr int default_rule(int state) { return pt::default_rule[state]; }
  static constexpr int action(int state, int column) { return pt::action[state][column]; }
  static constexpr int unknown_column() { return pt::unknown_column; }
  static constexpr int unread_column() { return pt::unread_column; }
};

// Report the failure through yyerror; return yyparse's status for it, 1.
int stack_overflow();
int syntax_error();

// The engines, each a whole yyparse.
int plans_parse();
int textbook_parse();

}  // namespace engine
