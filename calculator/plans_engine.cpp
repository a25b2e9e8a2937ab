// plans_parse: the plans engine, the one the calculator ships with.
//
// It does exactly what the textbook engine (textbook_engine.cpp) does, in
// fewer jumps: the table builder has planned every step (state, lookahead
// column) ahead, as the actions the textbook engine takes from there that
// are the same on every stack (tablegen/plans.cpp). Each plan is
// straight-line code; a step is one lookup, step_plan[state][column], and
// one jump to its plan (platform.hpp: threaded, or a switch in a loop). A
// plan ends by reading a token, by a dispatch on a state only known at run
// time, or by accepting or failing.
//
// Gotos come from a table that also runs through chains of unit rules
// without actions (primary -> not_expr -> ... -> or_expr) in the same step;
// those reductions pop one entry and push one, so the stack depth, and with
// it the 500-entry limit, counts exactly as if each were done on its own.
#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <utility>

#include "actions.hpp"
#include "engine.hpp"
#include "platform.hpp"
#include "scanner.hpp"
#include "tokens.hpp"

namespace engine {
namespace {

// The handler of every step, by state and column; plans_parse fills it on
// its first call. Each dispatch loads its target with one load, instead of
// the plan's number and then its handler.
calc_dispatch_target step_handlers[pt::state_count][pt::unread_column + 1];
static_assert(sizeof step_handlers <= largest_array);

// A looked-up goto: the state it lands in (through the unit rules it chains
// through) and the handler of the step from there, side by side, so that one
// index finds both and a dispatch right after the lookup loads its target
// at once, not after the goto.
struct LookedUpGoto {
  calc_dispatch_target step;
  std::size_t to;
};

// The looked-up gotos to nonterminal `lhs`, by the state below the reduced
// entries and the column: a row for each state from the first with a goto
// on lhs to the last, as in chained_goto. plans_parse fills them on its
// first call. An array for each nonterminal, so that a lookup, whose
// nonterminal is known when it is compiled, indexes its array at once by
// the state below.
template <int lhs>
constexpr int goto_rows = pt::goto_first_row[lhs + 1] - pt::goto_first_row[lhs];
template <int lhs>
LookedUpGoto looked_up_gotos[std::max(goto_rows<lhs>, 1) * (pt::unread_column + 1)];

// The same arrays by the nonterminal's number at run time, for filling them.
template <int... lhs>
constexpr std::array<LookedUpGoto*, sizeof...(lhs)> each_lhs(std::integer_sequence<int, lhs...>) {
  static_assert(((sizeof looked_up_gotos<lhs> <= largest_array) && ...));
  return {looked_up_gotos<lhs>...};
}
constexpr auto looked_up_gotos_of =
    each_lhs(std::make_integer_sequence<int, pt::nonterminal_count>{});

// Whether the shift into state `to` shifts a token that carries a value
// (carries_value); the shift of any other stores none.
constexpr bool shifts_a_value(int to) {
  for (int state = 0; state < pt::state_count; ++state)
    for (int column = 0; column < pt::terminal_count; ++column)
      if (pt::action[state][column] == to && carries_value(column)) return true;
  return false;
}

// A reduction pops its right side before it pushes its left side, so only a
// shift or an empty rule's reduction can deepen the stack, and only shifts
// check the limit. This grammar reduces empty rules only in the start state,
// which no transition enters: there the start entry is the whole stack, and
// the push makes the second entry.
constexpr bool empty_rules_reduce_only_on_the_start_entry() {
  for (int s = 0; s < pt::state_count; ++s) {
    for (int lhs = 0; lhs < pt::nonterminal_count; ++lhs)
      if (pt::go_to[s][lhs] == 0) return false;
    if (s == 0) continue;
    if (pt::default_rule[s] != 0 && pt::rule_length[pt::default_rule[s]] == 0) return false;
    for (int t = 0; t < pt::terminal_count; ++t)
      if (pt::action[s][t] < 0 && pt::rule_length[-pt::action[s][t]] == 0) return false;
  }
  return true;
}
static_assert(empty_rules_reduce_only_on_the_start_entry(),
              "the grammar reduces an empty rule above the start entry, where its push can "
              "deepen the stack: check the limit before an empty rule's push again "
              "(`if (stack.full()) PARSE_END(stack_overflow());` in PARSE_PLAN_REDUCE and "
              "PARSE_PLAN_REDUCE_LOOKUP when the rule's length is 0), and give the suite a "
              "test that reaches it");

// The parse stack as the plans work on it, held in registers: the states
// and values, the depth, and the steps from the state on top.
struct PlanStack {
  std::uint8_t* states;
  SemValue* values;
  // Pointer-sized, so that indexing the stacks needs no sign extension.
  std::ptrdiff_t depth;
  // The top state's row of step_handlers: a dispatch adds only the column.
  const calc_dispatch_target* steps;

  bool full() const { return depth == stack_limit; }
  [[gnu::always_inline]] void push(std::size_t pushed, SemValue value) {
    states[depth] = static_cast<std::uint8_t>(pushed);
    values[depth] = value;
    ++depth;
    steps = step_handlers[pushed];
  }
  // The same, leaving the entry's value as it was. Written out, not as half
  // of push: g++ orders the stores worse that way, and the engine runs more
  // instructions per token.
  [[gnu::always_inline]] void push_state(std::size_t pushed) {
    states[depth] = static_cast<std::uint8_t>(pushed);
    ++depth;
    steps = step_handlers[pushed];
  }
  // Reduces by rule r: runs its action on the top entries and pops them;
  // returns the value of the rule's left side.
  template <int r>
  [[gnu::always_inline]] SemValue reduce() {
    constexpr int length = pt::rule_length[r];
    if constexpr (length == 0) {
      // An empty rule has no action (the builder refuses one), and nothing
      // to act on: its value is empty.
      return SemValue{};
    } else {
      const SemValue value = run_action(pt::rule_action[r], values + depth - length);
      depth -= length;
      return value;
    }
  }
  // Rule r's goto with the lookahead in `column`, looked up by the state
  // the reduction uncovers, before it is made.
  template <int r>
  const LookedUpGoto& looked_up(std::ptrdiff_t column) const {
    constexpr int lhs = pt::rule_lhs[r];
    constexpr std::ptrdiff_t columns = pt::unread_column + 1;
    const std::ptrdiff_t below = states[depth - pt::rule_length[r] - 1];
    return looked_up_gotos<lhs>[below * columns + column - pt::goto_first_state[lhs] * columns];
  }
};

}  // namespace

// Out of line, so that its calls can be checked (tests/check_engine_calls.sh).
[[gnu::noinline]] CALC_INLINE_CALLEES int plans_parse() {
  if (!allocate_stack()) return stack_overflow();
  CALC_DISPATCH_EXTENSIONS_BEGIN
  // Every plan's handler, by number.
#define CALC_PLAN_TARGET(p, operations) CALC_DISPATCH_TARGET(plan_##p, p),
  static const calc_dispatch_target plans[] = {PARSE_TABLES_FOR_EACH_PLAN(CALC_PLAN_TARGET)};
  static_assert(std::size(plans) == pt::plan_count);
  static bool filled = false;
  if (!filled) {
    for (int s = 0; s < pt::state_count; ++s)
      for (int c = 0; c <= pt::unread_column; ++c) step_handlers[s][c] = plans[pt::step_plan[s][c]];
    // Every goto with the state `below` under it, from its row of chained_goto.
    // The row is found before the loop over columns, not in it: g++ at -O2
    // does not move it out by itself, and the loop left as it was allocates
    // the engine's registers worse for every step.
    for (int below = 0; below < pt::state_count; ++below)
      for (int lhs = 0; lhs < pt::nonterminal_count; ++lhs) {
        const int row = pt::goto_first_row[lhs] + below - pt::goto_first_state[lhs];
        if (below < pt::goto_first_state[lhs] || row >= pt::goto_first_row[lhs + 1]) continue;
        LookedUpGoto* looked_up = looked_up_gotos_of[lhs] +
                                  static_cast<std::ptrdiff_t>(below - pt::goto_first_state[lhs]) *
                                      (pt::unread_column + 1);
        for (int c = 0; c <= pt::unread_column; ++c)
          if (const int to = pt::chained_goto[row][c]; to < pt::state_count)
            looked_up[c] = {step_handlers[to][c], static_cast<std::size_t>(to)};
      }
    filled = true;
  }
#define CALC_NEXT_STEP() CALC_DISPATCH_JUMP(stack.steps[column])

  // Local copies stay in registers across the calls to the scanner, and so
  // does the scanner's position.
  PlanStack stack{state_stack, value_stack, 0, nullptr};
  stack.push(0, SemValue{});
  ScanPosition input;
  std::size_t column = pt::unread_column;  // the lookahead token's column in the tables
  calc_dispatch_target looked_up_step;     // set by a lookup, for the dispatch after it

  // Every way out of the engine gives the scanner its position back.
#define PARSE_END(status) \
  {                       \
    input.hand_back();    \
    return (status);      \
  }
  // What a plan's operations do. A shift checks the stack limit first; a
  // reduction needs no check (empty_rules_reduce_only_on_the_start_entry).
#define PARSE_PLAN_SHIFT(to)                       \
  {                                                \
    if (stack.full()) PARSE_END(stack_overflow()); \
    if constexpr (shifts_a_value(to))              \
      stack.push(to, input.value());               \
    else                                           \
      stack.push_state(to);                        \
    column = pt::unread_column;                    \
  }
  // Reduce by rule r, and push its left side in state `to` (the goto,
  // through the unit rules it chains through), or in the state looked up.
#define PARSE_PLAN_REDUCE(r, to)              \
  {                                           \
    const SemValue value = stack.reduce<r>(); \
    stack.push(to, value);                    \
  }
#define PARSE_PLAN_REDUCE_LOOKUP(r)                     \
  {                                                     \
    const LookedUpGoto go = stack.looked_up<r>(column); \
    looked_up_step = go.step;                           \
    const SemValue value = stack.reduce<r>();           \
    stack.push(go.to, value);                           \
  }
#define PARSE_PLAN_READ goto read_token;
#define PARSE_PLAN_DISPATCH CALC_NEXT_STEP();
#define PARSE_PLAN_DISPATCH_AFTER_LOOKUP CALC_DISPATCH_JUMP(looked_up_step);
#define PARSE_PLAN_ACCEPT PARSE_END(0)
#define PARSE_PLAN_ERROR PARSE_END(syntax_error())

  CALC_DISPATCH_LOOP_BEGIN(stack.steps[column])

  // The one place that reads a token: plans come here with a direct jump.
read_token : {
  column = input.next_column();
  CALC_NEXT_STEP();
}

#define CALC_PLAN_HANDLER(p, operations) CALC_HANDLER(plan_##p, p) : {operations}
  // The analyzer walks jumps between plans that the tables never make and
  // then reads stack entries it thinks unset.
  PARSE_TABLES_FOR_EACH_PLAN(CALC_PLAN_HANDLER)  // NOLINT(clang-analyzer-core.uninitialized.Assign)

  CALC_DISPATCH_LOOP_END
  CALC_DISPATCH_EXTENSIONS_END
}

}  // namespace engine
