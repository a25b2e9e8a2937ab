// yyparse and what its engines share: the parse stack, the failures, and the
// check that the tables were derived from this grammar.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "engine.hpp"
#include "grammar.hpp"
#include "table_encoding.hpp"

namespace engine {
namespace {

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
// The builder refuses tables outside these ranges; the engines' types rely on them.
static_assert(pt::state_count <= table_encoding::max_states, "states fit a byte, 255 is no goto");
static_assert(pt::rule_count - 1 <= table_encoding::max_rules);
static_assert(pt::terminal_count <= table_encoding::max_terminals);
static_assert(pt::nonterminal_count <= table_encoding::max_nonterminals);
static_assert(pt::plan_count <= table_encoding::max_plans);
// Nor is any table large: states with gotos are numbered first, so that
// chained_goto needs few rows.
static_assert(sizeof pt::step_plan <= largest_array && sizeof pt::action <= largest_array &&
              sizeof pt::go_to <= largest_array && sizeof pt::chained_goto <= largest_array);

}  // namespace

std::uint8_t* state_stack;
SemValue* value_stack;

bool allocate_stack() {
  if (state_stack != nullptr) return true;
  state_stack = static_cast<std::uint8_t*>(std::calloc(stack_limit, 1));
  value_stack = static_cast<SemValue*>(std::calloc(stack_limit, sizeof(SemValue)));
  if (state_stack != nullptr && value_stack != nullptr) return true;
  std::free(state_stack);
  std::free(value_stack);
  state_stack = nullptr;
  value_stack = nullptr;
  return false;
}

int stack_overflow() {
  yyerror("yacc stack overflow");
  return 1;
}

int syntax_error() {
  yyerror("syntax error");
  return 1;
}

}  // namespace engine

void yyerror(const char* message) {
  std::fputs(message, stderr);
  std::fputc('\n', stderr);
}

int yyparse() {
#if defined(CALC_TEXTBOOK_ENGINE)
  return engine::textbook_parse();
#else
  return engine::plans_parse();
#endif
}
