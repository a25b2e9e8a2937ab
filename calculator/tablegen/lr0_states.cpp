// Phase "lr0": the LR(0) item sets, each identified by its kernel, and the
// transitions between them.
#include <algorithm>
#include <deque>

#include "phases.hpp"

namespace lalr {

int next_symbol(const Grammar& g, Item item) {
  const auto& rhs = g.productions[item.rule].rhs;
  return item.dot < static_cast<int>(rhs.size()) ? rhs[item.dot] : -1;
}

// Closure of a set of items, each carrying lookaheads (empty sets give the
// LR(0) closure).
std::map<Item, TerminalSet> closure(const Grammar& g, const FirstSets& fs,
                                    std::map<Item, TerminalSet> items) {
  std::deque<Item> work;
  for (const auto& entry : items) work.push_back(entry.first);
  while (!work.empty()) {
    Item item = work.front();
    work.pop_front();
    int sym = next_symbol(g, item);
    if (sym < 0 || g.is_terminal(sym)) continue;
    auto [tail_first, tail_nullable] =
        first_of_tail(fs, g.productions[item.rule].rhs, static_cast<std::size_t>(item.dot) + 1);
    TerminalSet lookahead = tail_first;
    if (tail_nullable) lookahead |= items[item];
    for (int r = 0; r < static_cast<int>(g.productions.size()); ++r) {
      if (g.productions[r].lhs != sym) continue;
      auto [it, inserted] = items.try_emplace(Item{r, 0});
      TerminalSet grown = it->second | lookahead;
      if (inserted || grown != it->second) {
        it->second = grown;
        work.push_back(it->first);
      }
    }
  }
  return items;
}

// Phase "lr0": states are identified by their kernels; state 0 holds the start rule.
void build_lr0(const Grammar& g, const FirstSets& fs, std::vector<State>& states) {
  std::map<std::vector<Item>, int> index;
  states.push_back(State{{Item{0, 0}}, {}, {}});
  index[states[0].kernel] = 0;
  for (std::size_t s = 0; s < states.size(); ++s) {
    std::map<Item, TerminalSet> seed;
    for (Item k : states[s].kernel) seed[k];
    std::map<int, std::vector<Item>> targets;
    for (const auto& entry : closure(g, fs, seed)) {
      int sym = next_symbol(g, entry.first);
      if (sym >= 0 && sym != 0) targets[sym].push_back({entry.first.rule, entry.first.dot + 1});
    }
    for (auto& [sym, kernel] : targets) {
      std::sort(kernel.begin(), kernel.end());
      auto [it, inserted] = index.try_emplace(kernel, static_cast<int>(states.size()));
      if (inserted) states.push_back(State{kernel, {}, {}});
      states[s].transitions[sym] = it->second;
    }
  }
}

}  // namespace lalr
