// textbook_parse: the LALR(1) shift-reduce engine as the textbook has it,
// one table lookup at a time. Read this first; the plans engine
// (plans_engine.cpp) does exactly what this loop does, in fewer jumps.
//
// The stack holds parser states, and beside each the value of the symbol
// that led there. In each turn of the loop the state on top decides what
// to do with the lookahead token (textbook_step.hpp):
//   - a state with a default reduction reduces without a lookahead token
//     (only states whose one action is that reduction have one, so a
//     statement runs as soon as its ';' is read, before the next token);
//   - any other state needs the lookahead, reads it if it has not yet, and
//     looks up its action: shift the token, reduce by a rule, accept the
//     end of input, or report a syntax error (before any reduction).
// A reduction runs the rule's action on the values of its right side, pops
// them, and pushes the rule's left side in the state the goto table gives
// for the state now on top. A push that would make a 501st entry fails.
#include <cstdint>

#include "actions.hpp"
#include "engine.hpp"
#include "textbook_step.hpp"
#include "tokens.hpp"

namespace engine {

int textbook_parse() {
  if (!allocate_stack()) return stack_overflow();
  std::uint8_t* const states = state_stack;
  SemValue* const values = value_stack;
  int depth = 0;
  // False, pushing nothing, when the stack is full.
  auto push = [&](int state, SemValue value) {
    if (depth == stack_limit) return false;
    states[depth] = static_cast<std::uint8_t>(state);
    values[depth] = value;
    ++depth;
    return true;
  };
  push(0, SemValue{});
  int lookahead = pt::unread_column;  // the column of the token read, not yet shifted
  for (;;) {
    const textbook::Step step = textbook::step(GeneratedTables{}, states[depth - 1], lookahead);
    switch (step.kind) {
      case textbook::Step::Kind::read: lookahead = token_column(yylex()); break;
      case textbook::Step::Kind::shift:
        if (!push(step.target, carries_value(lookahead) ? yylval : SemValue{}))
          return stack_overflow();
        lookahead = pt::unread_column;
        break;
      case textbook::Step::Kind::reduce: {
        const int rule = step.target;
        const int length = pt::rule_length[rule];
        // An empty rule has no action (the builder refuses one), and nothing
        // to act on: its value is empty.
        const SemValue value =
            length == 0 ? SemValue{} : run_action(pt::rule_action[rule], values + depth - length);
        depth -= length;
        if (!push(pt::go_to[states[depth - 1]][pt::rule_lhs[rule]], value)) return stack_overflow();
        break;
      }
      case textbook::Step::Kind::accept: return 0;
      case textbook::Step::Kind::error: return syntax_error();
    }
  }
}

}  // namespace engine
