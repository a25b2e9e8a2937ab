// Phases "actions", "defaults" and "chains": what each state does with each
// terminal, the reduction a state performs without a lookahead, and the
// gotos that run through unit rules in one step.
#include "phases.hpp"

namespace lalr {

// Phase "actions": shifts first so that a conflict, should one appear, is
// recorded against the shift (the build refuses conflicts anyway).
void build_actions(Automaton& a) {
  const Grammar& g = a.grammar;
  const std::size_t n = a.states.size();
  a.action.assign(n, std::vector<int>(g.terminal_count, 0));
  a.go_to.assign(n, std::vector<int>(g.nonterminal_count(), -1));
  auto put = [&](int s, int t, int code) {
    int& cell = a.action[s][t];
    if (cell == 0) {
      cell = code;
    } else if (cell != code) {
      a.conflicts.push_back({s, t, cell, code});
    }
  };
  for (int s = 0; s < static_cast<int>(n); ++s) {
    const State& st = a.states[s];
    for (const auto& [item, lookahead] : st.items) {
      int sym = next_symbol(g, item);
      if (sym == 0) put(s, 0, accept_code);
      if (sym > 0 && g.is_terminal(sym)) put(s, sym, st.transitions.at(sym));
    }
    for (const auto& [sym, target] : st.transitions)
      if (!g.is_terminal(sym)) a.go_to[s][sym - g.terminal_count] = target;
    for (const auto& [item, lookahead] : st.items) {
      if (next_symbol(g, item) >= 0) continue;
      for (int t = 0; t < g.terminal_count; ++t)
        if (lookahead.test(t)) put(s, t, -item.rule);
    }
  }
}

// Phase "defaults": only a state whose every action is the same reduction
// reduces without looking at the next token.
void choose_default_reductions(Automaton& a) {
  a.default_rule.assign(a.states.size(), 0);
  for (std::size_t s = 0; s < a.states.size(); ++s) {
    int only = 0;
    bool single = true;
    for (int code : a.action[s]) {
      if (code == 0) continue;
      if (code > 0 || (only != 0 && code != only)) {
        single = false;
        break;
      }
      only = code;
    }
    if (single && only < 0) a.default_rule[s] = -only;
  }
}

// Phase "chains": where a goto ends once the unit reductions it triggers are done.
void chain_gotos(Automaton& a) {
  const Grammar& g = a.grammar;
  const int columns = g.terminal_count + 2;
  const std::size_t n = a.states.size();
  a.chained_goto.assign(
      n, std::vector<std::vector<int>>(g.nonterminal_count(), std::vector<int>(columns, -1)));
  for (std::size_t p = 0; p < n; ++p) {
    for (int nt = 0; nt < g.nonterminal_count(); ++nt) {
      if (a.go_to[p][nt] < 0) continue;
      for (int col = 0; col < columns; ++col) {
        int q = a.go_to[p][nt];
        for (;;) {
          int rule = a.default_rule[q];
          if (rule == 0 && col < g.terminal_count && a.action[q][col] < 0) rule = -a.action[q][col];
          if (rule == 0 || !is_unit_pass(g.productions[rule])) break;
          q = a.go_to[p][g.productions[rule].lhs - g.terminal_count];
        }
        a.chained_goto[p][nt][col] = q;
      }
    }
  }
}

}  // namespace lalr
