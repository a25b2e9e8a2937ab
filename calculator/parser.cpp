// yyparse: the LALR(1) shift-reduce engine over the derived tables.
//
// The textbook loop: a state with a default reduction reduces without a
// lookahead; any other state reads one token, looks up one action and
// shifts, reduces, accepts or reports a syntax error. Only states whose one
// action is a reduction have a default, so a token the grammar rejects is
// reported before any reduction it would have caused, and a statement runs
// as soon as its ';' is read, before the next token is asked for.
//
// Each step is one lookup, steps[state][lookahead column], and a jump to the
// handler for that step (platform.hpp: threaded, or a switch in a loop); a
// rule's reduction is a handler of its own, with the rule's length, left
// side and action fixed in it. The handlers are written once per rule, for
// the rules the table builder lists.
//
// Gotos come from a table that also runs through chains of unit rules
// without actions (primary -> not_expr -> ... -> or_expr) in the same step;
// those reductions pop one entry and push one, so the stack depth, and with
// it the 500-entry limit, counts exactly as if each were done on its own.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string_view>

#include "actions.hpp"
#include "parse_tables.inc"
#include "platform.hpp"
#include "table_encoding.hpp"
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
// The builder refuses tables outside these ranges; the engine's types rely on them.
static_assert(pt::state_count <= table_encoding::max_states, "states fit a byte, 255 is no goto");
static_assert(pt::rule_count - 1 <= table_encoding::max_rules, "handlers are numbered in a byte");
static_assert(pt::terminal_count <= table_encoding::max_terminals);
static_assert(pt::nonterminal_count <= table_encoding::max_nonterminals);
static_assert(pt::accept == table_encoding::accept_code &&
              pt::shift_reduce_base == table_encoding::shift_reduce_base);

// The start entry, one for `program` and one per symbol of the statement in
// progress must fit in this many entries.
constexpr int stack_limit = 500;

std::uint8_t* state_stack;  // allocated on the first parse, kept for the whole run
SemValue* value_stack;

[[gnu::always_inline]] inline int token_column(int code) {
  if (static_cast<unsigned>(code) < TOKEN_CODE_LIMIT) return pt::token_class[code];
  return code < 0 ? pt::token_class[0] : pt::unknown_token;
}

// The engine's one lookup per step: steps[state][column] names the handler
// of the next step and, for a shift, the state to go to. It folds the default
// reductions into the action table: a state that has one reduces whatever
// the column, even before any token is read; any other state reads a token
// when its lookahead column is still the unread one.
constexpr int step_shift = 8;
constexpr unsigned step_operand_mask = 0xff;
enum Handler : std::uint16_t {
  syntax_error_handler,
  read_handler,
  shift_handler,
  accept_handler,
  first_reduce_handler,  // then one per rule, and one per rule to shift and reduce
  first_shift_reduce_handler = first_reduce_handler + pt::rule_count - 1,
  handler_count = first_shift_reduce_handler + pt::rule_count - 1,
};
static_assert(first_reduce_handler + 2 * table_encoding::max_rules <= 256,
              "every handler number fits the byte a step keeps it in");

constexpr std::uint16_t make_step(int handler, int operand = 0) {
  return static_cast<std::uint16_t>((handler << step_shift) | operand);
}

constexpr std::uint16_t step_for(int state, int column) {
  if (const int rule = pt::default_rule[state]; rule != 0)
    return make_step(first_reduce_handler + rule - 1);
  if (column == pt::unread_column) return make_step(read_handler);
  const int act = pt::action[state][column];
  if (act == pt::accept) return make_step(accept_handler);
  if (act > 0) return make_step(shift_handler, act);
  if (act == 0) return make_step(syntax_error_handler);
  if (act <= -pt::shift_reduce_base)
    return make_step(first_shift_reduce_handler + (-act - pt::shift_reduce_base) - 1);
  return make_step(first_reduce_handler + (-act) - 1);
}

constexpr auto steps = [] {
  std::array<std::array<std::uint16_t, pt::unread_column + 1>, pt::state_count> table{};
  for (int s = 0; s < pt::state_count; ++s)
    for (int c = 0; c <= pt::unread_column; ++c) table[s][c] = step_for(s, c);
  return table;
}();

int stack_overflow() {
  yyerror("yacc stack overflow");
  return 1;
}

int syntax_error() {
  yyerror("syntax error");
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
    value_stack = static_cast<SemValue*>(std::calloc(stack_limit, sizeof(SemValue)));
    if (state_stack == nullptr || value_stack == nullptr) {
      std::free(state_stack);
      std::free(value_stack);
      state_stack = nullptr;
      value_stack = nullptr;
      return stack_overflow();
    }
  }
  CALC_DISPATCH_EXTENSIONS_BEGIN
  // Every handler, by number. Each rule has its own reduce handler, in which
  // its length, left side and action are constants, so the action needs no
  // dispatch of its own.
#define CALC_REDUCE_TARGET(r) CALC_DISPATCH_TARGET(reduce_##r, first_reduce_handler + (r)-1),
#define CALC_SHIFT_REDUCE_TARGET(r) \
  CALC_DISPATCH_TARGET(shift_reduce_##r, first_shift_reduce_handler + (r)-1),
  static const calc_dispatch_target handlers[] = {
      CALC_DISPATCH_TARGET(syntax_error, syntax_error_handler),
      CALC_DISPATCH_TARGET(read, read_handler), CALC_DISPATCH_TARGET(shift, shift_handler),
      CALC_DISPATCH_TARGET(accept, accept_handler),
      PARSE_TABLES_FOR_EACH_RULE(CALC_REDUCE_TARGET)
          PARSE_TABLES_FOR_EACH_RULE(CALC_SHIFT_REDUCE_TARGET)};
  static_assert(std::size(handlers) == handler_count);
  // The handler of every step, looked up once: each dispatch then loads its
  // target with one load instead of two in a row.
  static calc_dispatch_target step_handlers[pt::state_count][pt::unread_column + 1];
  static bool looked_up = false;
  if (!looked_up) {
    for (int s = 0; s < pt::state_count; ++s)
      for (int c = 0; c <= pt::unread_column; ++c)
        step_handlers[s][c] = handlers[steps[s][c] >> step_shift];
    looked_up = true;
  }
#define CALC_NEXT_STEP() CALC_DISPATCH_JUMP(step_handlers[state][column])

  // Local copies stay in registers across the calls to the scanner.
  std::uint8_t* const states = state_stack;
  SemValue* const values = value_stack;
  int depth = 1;
  unsigned state = 0;
  states[0] = 0;
  unsigned column = pt::unread_column;  // the lookahead token's column in the tables

  CALC_DISPATCH_LOOP_BEGIN(step_handlers[state][column])

  CALC_HANDLER(read, read_handler) : {
    column = token_column(yylex());
    CALC_NEXT_STEP();
  }

  CALC_HANDLER(shift, shift_handler) : {
    if (depth == stack_limit) return stack_overflow();
    state = steps[state][column] & step_operand_mask;
    states[depth] = static_cast<std::uint8_t>(state);
    values[depth] = yylval;
    ++depth;
    column = pt::unread_column;
    CALC_NEXT_STEP();
  }

  CALC_HANDLER(accept, accept_handler) : return 0;

  CALC_HANDLER(syntax_error, syntax_error_handler) : return syntax_error();

  // Reduce by rule r: run its action on the top entries, pop them, push the
  // left side through the goto (and the unit rules it chains through).
#define CALC_REDUCE_HANDLER(r)                                                              \
  CALC_HANDLER(reduce_##r, first_reduce_handler + (r)-1) : {                                \
    constexpr int length = pt::rule_length[r];                                              \
    const SemValue value =                                                                  \
        length == 0 ? SemValue{} : run_action(pt::rule_action[r], values + depth - length); \
    depth -= length;                                                                        \
    if constexpr (length == 0)                                                              \
      if (depth == stack_limit) return stack_overflow();                                    \
    state = pt::go_to[states[depth - 1]][pt::rule_lhs[r]][column];                          \
    states[depth] = static_cast<std::uint8_t>(state);                                       \
    values[depth] = value;                                                                  \
    ++depth;                                                                                \
    CALC_NEXT_STEP();                                                                       \
  }
  // Shift the token and reduce it by the one-symbol rule r at once: the
  // stack passes through the same depths as a shift followed by the
  // reduction. The tables never ask this of a longer rule.
#define CALC_SHIFT_REDUCE_HANDLER(r)                                       \
  CALC_HANDLER(shift_reduce_##r, first_shift_reduce_handler + (r)-1) : {   \
    if constexpr (pt::rule_length[r] == 1) {                               \
      if (depth == stack_limit) return stack_overflow();                   \
      const SemValue token_value = yylval;                                 \
      const SemValue value = run_action(pt::rule_action[r], &token_value); \
      state = pt::go_to[state][pt::rule_lhs[r]][pt::unread_column];        \
      states[depth] = static_cast<std::uint8_t>(state);                    \
      values[depth] = value;                                               \
      ++depth;                                                             \
      column = pt::unread_column;                                          \
      CALC_NEXT_STEP();                                                    \
    }                                                                      \
    return syntax_error();                                                 \
  }
  // The analyzer walks jumps between handlers that the tables never make (an
  // empty rule after others) and then reads stack entries it thinks unset.
  PARSE_TABLES_FOR_EACH_RULE(
      CALC_REDUCE_HANDLER)  // NOLINT(clang-analyzer-core.uninitialized.Assign)
  PARSE_TABLES_FOR_EACH_RULE(CALC_SHIFT_REDUCE_HANDLER)

  CALC_DISPATCH_LOOP_END
  CALC_DISPATCH_EXTENSIONS_END
}
