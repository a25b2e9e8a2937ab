// Phase "lr0": the LR(0) item sets, each identified by its kernel, and the
// transitions between them.
#include <algorithm>
#include <deque>
#include <numeric>

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

// After the start state, the states with gotos on the most nonterminals come
// first. The engine keeps each nonterminal's looked-up gotos as one row per
// state, from the first state with a goto on it to the last; the states that
// have gotos on the levels of an expression, the looser levels fewer, then
// take for each level a run of rows with none between.
void number_states(const Grammar& g, std::vector<State>& states) {
  const auto gotos = [&](int s) {
    return std::count_if(states[s].transitions.begin(), states[s].transitions.end(),
                         [&](const auto& move) { return !g.is_terminal(move.first); });
  };
  std::vector<int> order(states.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin() + 1, order.end(),
                   [&](int x, int y) { return gotos(x) > gotos(y); });
  std::vector<int> number(states.size());
  for (std::size_t i = 0; i < order.size(); ++i) number[order[i]] = static_cast<int>(i);
  std::vector<State> renumbered;
  for (int s : order) {
    renumbered.push_back(std::move(states[s]));
    for (auto& [symbol, target] : renumbered.back().transitions) target = number[target];
  }
  states = std::move(renumbered);
}

}  // namespace lalr
