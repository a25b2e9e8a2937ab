// The table builder's phases, in the order build.cpp runs them, and
// what they share. Internal to the builder.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "lalr.hpp"

namespace lalr {

struct FirstSets {
  std::vector<bool> nullable;
  std::vector<TerminalSet> first;
};

// The symbol after the item's dot; -1 when the dot is at the end.
int next_symbol(const Grammar& grammar, Item item);

// first_sets.cpp: nullable symbols and FIRST sets.
FirstSets compute_first(const Grammar& grammar);
// FIRST of rhs[from..], and whether that whole tail can derive nothing.
std::pair<TerminalSet, bool> first_of_tail(const FirstSets& fs, const std::vector<int>& rhs,
                                           std::size_t from);

// lr0_states.cpp: the LR(0) item sets and their transitions.
std::map<Item, TerminalSet> closure(const Grammar& grammar, const FirstSets& fs,
                                    std::map<Item, TerminalSet> items);
void build_lr0(const Grammar& grammar, const FirstSets& fs, std::vector<State>& states);
// The start state stays 0; the states with gotos on the most nonterminals follow.
void number_states(const Grammar& grammar, std::vector<State>& states);

// lookaheads.cpp: LALR(1) lookaheads, propagated to a fixpoint.
void propagate_lookaheads(const Grammar& grammar, const FirstSets& fs, std::vector<State>& states);

// parse_actions.cpp: shift / reduce / accept per state and terminal, the
// default reductions, and gotos chained through unit rules.
void build_actions(Automaton& automaton);
void choose_default_reductions(Automaton& automaton);
void chain_gotos(Automaton& automaton);

// plans.cpp: the plan of every step.
void make_plans(Automaton& automaton, int max_plan_ops);

}  // namespace lalr
