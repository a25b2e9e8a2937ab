// Phase "first": which symbols can derive nothing, and which terminals can
// begin what each symbol derives.
#include "phases.hpp"

namespace lalr {

// Phase "first": least fixpoint of the usual equations.
FirstSets compute_first(const Grammar& g) {
  const std::size_t n = g.names.size();
  FirstSets fs{std::vector<bool>(n, false), std::vector<TerminalSet>(n)};
  for (int t = 0; t < g.terminal_count; ++t) fs.first[t].set(t);
  for (bool changed = true; changed;) {
    changed = false;
    for (const Production& p : g.productions) {
      TerminalSet acc = fs.first[p.lhs];
      bool all_nullable = true;
      for (int sym : p.rhs) {
        acc |= fs.first[sym];
        if (!fs.nullable[sym]) {
          all_nullable = false;
          break;
        }
      }
      if (acc != fs.first[p.lhs]) {
        fs.first[p.lhs] = acc;
        changed = true;
      }
      if (all_nullable && !fs.nullable[p.lhs]) {
        fs.nullable[p.lhs] = true;
        changed = true;
      }
    }
  }
  return fs;
}

// FIRST of rhs[from..], and whether that whole tail can derive nothing.
std::pair<TerminalSet, bool> first_of_tail(const FirstSets& fs, const std::vector<int>& rhs,
                                           std::size_t from) {
  TerminalSet acc;
  for (std::size_t i = from; i < rhs.size(); ++i) {
    acc |= fs.first[rhs[i]];
    if (!fs.nullable[rhs[i]]) return {acc, false};
  }
  return {acc, true};
}

}  // namespace lalr
