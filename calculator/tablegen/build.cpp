// The table builder's pipeline, lalr::build: one line per phase, in order;
// each phase lives in the file named beside it. Apart from lalr.hpp, whose
// types the phases share, so that no part includes one that includes it.
#include "lalr.hpp"

#include "phases.hpp"

namespace lalr {

Automaton build(const Grammar& grammar, int max_plan_ops) {
  Automaton a;
  a.grammar = grammar;
  const FirstSets fs = compute_first(grammar);  // first_sets.cpp
  build_lr0(grammar, fs, a.states);             // lr0_states.cpp
  number_states(grammar, a.states);             //   states with gotos first
  propagate_lookaheads(grammar, fs, a.states);  // lookaheads.cpp
  build_actions(a);                             // parse_actions.cpp: shift, reduce, accept
  choose_default_reductions(a);                 //   the single-reduction states
  chain_gotos(a);                               //   gotos through unit rules
  make_plans(a, max_plan_ops);                  // plans.cpp: each step as straight-line code
  return a;
}

}  // namespace lalr
