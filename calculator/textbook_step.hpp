// One step of the LALR(1) engine as the textbook has it: what the state on
// top of the stack does with the lookahead. Written once, for all who need
// it: the textbook engine takes it in every turn of its loop
// (textbook_engine.cpp), the table builder plans ahead with it
// (tablegen/plans.cpp), the plan proof holds the plans to it
// (tests/plans_test.cpp), and calc_trace shows it beside the plans
// (tablegen/trace.cpp).
//
// Each reads its own tables through a view that has
//   default_rule(state)    the rule the state reduces by without a lookahead; 0 for none
//   action(state, column)  the action on a terminal's column (table_encoding.hpp)
//   unknown_column(), unread_column()   the columns after the terminals': a
//                          token the grammar never uses, a lookahead not read yet
#pragma once

#include <cstdint>

#include "table_encoding.hpp"

namespace textbook {

struct Step {
  enum class Kind : std::uint8_t { shift, reduce, read, accept, error };
  Kind kind;
  int target = 0;  // shift: the state to push; reduce: the rule
};

template <class Tables>
constexpr Step step(const Tables& tables, int state, int column) {
  using enum Step::Kind;
  // Only a state whose one action is a reduction has a default one, so
  // reducing before the lookahead is read changes nothing but when it is.
  if (const int rule = tables.default_rule(state); rule != 0) return {reduce, rule};
  if (column == tables.unread_column()) return {read};
  if (column == tables.unknown_column()) return {error};
  const int code = tables.action(state, column);
  if (code == table_encoding::accept_code) return {accept};
  if (code > 0) return {shift, code};
  if (code < 0) return {reduce, -code};
  return {error};
}

}  // namespace textbook
