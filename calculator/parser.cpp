// yyparse: the LALR(1) shift-reduce engine over the derived tables.
//
// The textbook loop: a state with a default reduction reduces without a
// lookahead; any other state reads one token, looks up one action and
// shifts, reduces, accepts or reports a syntax error. Only states whose one
// action is a reduction have a default, so a token the grammar rejects is
// reported before any reduction it would have caused, and a statement runs
// as soon as its ';' is read, before the next token is asked for.
//
// Gotos come from a table that also runs through chains of unit rules
// without actions (primary -> not_expr -> ... -> or_expr) in the same step;
// those reductions pop one entry and push one, so the stack depth, and with
// it the 500-entry limit, counts exactly as if each were done on its own.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "actions.hpp"
#include "parse_tables.inc"
#include "tokens.hpp"

namespace {

namespace pt = parse_tables;

constexpr int rhs_length(std::string_view rhs) {
  int words = 0;
  bool in_word = false;
  for (char c : rhs) {
    if (c != ' ' && !in_word) ++words;
    in_word = c != ' ';
  }
  return words;
}

// Rule numbers are what join the tables to the actions: refuse to build with
// tables derived from another version of the grammar.
constexpr bool tables_match_grammar() {
  if (pt::rule_count != grammar_rule_count + 1) return false;
  for (int r = 1; r < pt::rule_count; ++r)
    if (pt::rule_action[r] != grammar[r - 1].action ||
        pt::rule_length[r] != rhs_length(grammar[r - 1].rhs))
      return false;
  return true;
}
static_assert(tables_match_grammar(), "parse_tables.inc is stale; rebuild it from grammar.hpp");
static_assert(pt::state_count < 255, "states must fit the goto table's bytes");

// The start entry, one for `program` and one per symbol of the statement in
// progress must fit in this many entries.
constexpr int stack_limit = 500;

std::uint8_t* state_stack;  // allocated on the first parse, kept for the whole run
SemValue* value_stack;      // one spare entry past the limit: an empty rule reads it

int token_column(int code) {
  if (static_cast<unsigned>(code) < TOKEN_CODE_LIMIT) return pt::token_class[code];
  return code < 0 ? pt::token_class[0] : pt::unknown_token;
}

int stack_overflow() {
  yyerror("yacc stack overflow");
  return 1;
}

}  // namespace

void yyerror(const char* message) {
  std::fputs(message, stderr);
  std::fputc('\n', stderr);
}

int yyparse() {
  if (state_stack == nullptr) {
    state_stack = static_cast<std::uint8_t*>(std::calloc(stack_limit, 1));
    value_stack = static_cast<SemValue*>(std::calloc(stack_limit + 1, sizeof(SemValue)));
    if (state_stack == nullptr || value_stack == nullptr) {
      std::free(state_stack);
      std::free(value_stack);
      state_stack = nullptr;
      return stack_overflow();
    }
  }
  // Local copies stay in registers across the calls to the scanner.
  std::uint8_t* const states = state_stack;
  SemValue* const values = value_stack;
  int depth = 1;
  int state = 0;
  states[0] = 0;
  int column = pt::unread_column;  // the lookahead token's column in the tables
  for (;;) {
    int rule = pt::default_rule[state];
    if (rule == 0) {
      if (column == pt::unread_column) column = token_column(yylex());
      const int act = pt::action[state][column];
      if (act > 0) {
        if (act == pt::accept) return 0;
        if (depth == stack_limit) return stack_overflow();
        state = act;
        states[depth] = static_cast<std::uint8_t>(state);
        values[depth] = yylval;
        ++depth;
        column = pt::unread_column;
        continue;
      }
      if (act == 0) {
        yyerror("syntax error");
        return 1;
      }
      if (act <= -pt::shift_reduce_base) {
        // Shift the token and reduce it at once: the stack passes through
        // the same depths as a shift followed by the reduction.
        if (depth == stack_limit) return stack_overflow();
        rule = -act - pt::shift_reduce_base;
        const SemValue token_value = yylval;
        const SemValue value = run_action(pt::rule_action[rule], &token_value);
        state = pt::go_to[state][pt::rule_lhs[rule]][pt::unread_column];
        states[depth] = static_cast<std::uint8_t>(state);
        values[depth] = value;
        ++depth;
        column = pt::unread_column;
        continue;
      }
      rule = -act;
    }
    const int length = pt::rule_length[rule];
    const SemValue value = run_action(pt::rule_action[rule], values + depth - length);
    depth -= length;
    if (depth == stack_limit) return stack_overflow();
    state = pt::go_to[states[depth - 1]][pt::rule_lhs[rule]][column];
    states[depth] = static_cast<std::uint8_t>(state);
    values[depth] = value;
    ++depth;
  }
}
