// Phase "lookahead": LALR(1) lookaheads for every item of every state.
#include "phases.hpp"

namespace lalr {

// Phase "lookahead": propagate lookaheads from each state's closure into the
// kernels of its successors until nothing changes.
void propagate_lookaheads(const Grammar& g, const FirstSets& fs, std::vector<State>& states) {
  std::vector<std::map<Item, TerminalSet>> kernels(states.size());
  for (std::size_t s = 0; s < states.size(); ++s)
    for (Item k : states[s].kernel) kernels[s][k];
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t s = 0; s < states.size(); ++s) {
      states[s].items = closure(g, fs, kernels[s]);
      for (const auto& [item, lookahead] : states[s].items) {
        int sym = next_symbol(g, item);
        if (sym <= 0) continue;
        TerminalSet& target = kernels[states[s].transitions.at(sym)][{item.rule, item.dot + 1}];
        TerminalSet grown = target | lookahead;
        if (grown != target) {
          target = grown;
          changed = true;
        }
      }
    }
  }
}

}  // namespace lalr
