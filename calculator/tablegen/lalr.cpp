// LALR(1) table builder; see lalr.hpp for the phases.
#include "lalr.hpp"

#include <algorithm>
#include <cctype>
#include <deque>
#include <ostream>
#include <set>
#include <sstream>
#include <string>

namespace lalr {
namespace {

std::vector<std::string_view> split_words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == ' ') {
      ++pos;
      continue;
    }
    std::size_t end = text.find(' ', pos);
    if (end == std::string_view::npos) end = text.size();
    words.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  return words;
}

bool is_char_token(std::string_view word) {
  return word.size() == 3 && word.front() == '\'' && word.back() == '\'';
}

int symbol_index(const Grammar& g, std::string_view name) {
  auto it = std::find(g.names.begin(), g.names.end(), name);
  return it == g.names.end() ? -1 : static_cast<int>(it - g.names.begin());
}

struct FirstSets {
  std::vector<bool> nullable;
  std::vector<TerminalSet> first;
};

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

std::string terminal_list(const Grammar& g, const TerminalSet& set) {
  std::string text;
  for (int t = 0; t < g.terminal_count; ++t) {
    if (!set.test(t)) continue;
    if (!text.empty()) text += ' ';
    text += g.names[t];
  }
  return text;
}

std::string action_text(const Grammar& g, int code) {
  if (code == accept_code) return "accept";
  if (code > 0) return "shift, go to state " + std::to_string(code);
  const Production& p = g.productions[-code];
  return "reduce by rule " + std::to_string(-code) + " (" + g.names[p.lhs] + ")";
}

}  // namespace

bool is_unit_pass(const Production& p) {
  return p.rhs.size() == 1 && p.action == Action::pass;
}

Grammar resolve(std::span<const GrammarRule> rules, std::span<const NamedToken> tokens,
                std::string& error) {
  Grammar g;
  g.names.push_back("$end");
  g.token_codes.push_back(0);
  std::set<char> chars;
  for (const GrammarRule& rule : rules)
    for (std::string_view word : split_words(rule.rhs))
      if (is_char_token(word)) chars.insert(word[1]);
  for (char c : chars) {
    g.names.push_back(std::string{'\'', c, '\''});
    g.token_codes.push_back(static_cast<unsigned char>(c));
  }
  for (const NamedToken& token : tokens) {
    g.names.emplace_back(token.name);
    g.token_codes.push_back(token.code);
  }
  g.terminal_count = static_cast<int>(g.names.size());
  g.names.push_back("$accept");
  for (const GrammarRule& rule : rules)
    if (symbol_index(g, rule.lhs) < 0) g.names.emplace_back(rule.lhs);
  if (rules.empty()) {
    error = "the grammar has no rules";
    return g;
  }
  const int start = symbol_index(g, rules.front().lhs);
  g.productions.push_back({g.terminal_count, {start, 0}, Action::pass});
  for (const GrammarRule& rule : rules) {
    Production p{symbol_index(g, rule.lhs), {}, rule.action};
    for (std::string_view word : split_words(rule.rhs)) {
      int sym = symbol_index(g, word);
      if (sym < 0)
        error += "unknown symbol " + std::string(word) + " in a rule for " + std::string(rule.lhs) +
                 "\n";
      p.rhs.push_back(sym);
    }
    g.productions.push_back(std::move(p));
  }
  // Checked here rather than with the other encoding limits: the builder's own
  // terminal sets cannot hold more.
  if (g.terminal_count > max_terminals)
    error += std::to_string(g.terminal_count) + " terminals, but the tables hold at most " +
             std::to_string(max_terminals) + "\n";
  return g;
}

Automaton build(const Grammar& grammar) {
  Automaton a;
  a.grammar = grammar;
  FirstSets fs = compute_first(grammar);
  build_lr0(grammar, fs, a.states);
  propagate_lookaheads(grammar, fs, a.states);
  build_actions(a);
  choose_default_reductions(a);
  chain_gotos(a);
  return a;
}

std::string item_text(const Grammar& g, Item item) {
  const Production& p = g.productions[item.rule];
  std::string text = g.names[p.lhs] + " ->";
  for (std::size_t i = 0; i <= p.rhs.size(); ++i) {
    if (static_cast<int>(i) == item.dot) text += " .";
    if (i < p.rhs.size()) text += " " + g.names[p.rhs[i]];
  }
  return text;
}

void write_report(const Automaton& a, std::ostream& out) {
  const Grammar& g = a.grammar;
  out << "Grammar\n";
  for (std::size_t r = 1; r < g.productions.size(); ++r)
    out << "  " << r << "  " << item_text(g, {static_cast<int>(r), -1}) << "\n";
  out << "\n" << a.states.size() << " states, " << a.conflicts.size() << " conflicts\n";
  for (const Conflict& c : a.conflicts)
    out << "conflict in state " << c.state << " on " << g.names[c.terminal] << ": "
        << action_text(g, c.kept) << " against " << action_text(g, c.dropped) << "\n";
  for (std::size_t s = 0; s < a.states.size(); ++s) {
    out << "\nstate " << s << "\n";
    for (const auto& [item, lookahead] : a.states[s].items) {
      out << "    " << item_text(g, item);
      if (next_symbol(g, item) < 0) out << "   [" << terminal_list(g, lookahead) << "]";
      out << "\n";
    }
    out << "\n";
    if (a.default_rule[s] != 0) {
      out << "    $default  " << action_text(g, -a.default_rule[s]) << "\n";
    } else {
      for (int t = 0; t < g.terminal_count; ++t)
        if (a.action[s][t] != 0)
          out << "    " << g.names[t] << "  " << action_text(g, a.action[s][t]) << "\n";
      out << "    anything else  syntax error\n";
    }
    for (int nt = 0; nt < g.nonterminal_count(); ++nt)
      if (a.go_to[s][nt] >= 0)
        out << "    " << g.names[g.terminal_count + nt] << "  go to state " << a.go_to[s][nt]
            << "\n";
  }
}

namespace {

// A shift into a state that can only reduce the token just shifted (var ->
// LETTER, number -> NUMBER) becomes one action: the parse stack goes through
// the same depths, one iteration of the engine is saved.
int emitted_action(const Automaton& a, std::size_t s, int t) {
  const int code = a.action[s][t];
  if (code <= 0 || code == accept_code) return code;
  const int rule = a.default_rule[code];
  if (rule != 0 && a.grammar.productions[rule].rhs.size() == 1) return -(shift_reduce_base + rule);
  return code;
}

}  // namespace

std::string encoding_errors(const Automaton& a) {
  const Grammar& g = a.grammar;
  std::string errors;
  auto check = [&errors](std::size_t count, int limit, const char* what) {
    if (count > static_cast<std::size_t>(limit))
      errors += std::to_string(count) + " " + what + ", but the tables hold at most " +
                std::to_string(limit) + "\n";
  };
  check(static_cast<std::size_t>(g.nonterminal_count()), table_encoding::max_nonterminals,
        "nonterminals");
  check(g.productions.size() - 1, table_encoding::max_rules, "rules");
  check(a.states.size(), table_encoding::max_states, "states");
  std::size_t longest = 0;
  for (const Production& p : g.productions) longest = std::max(longest, p.rhs.size());
  check(longest, table_encoding::max_rule_length, "symbols on a rule's right side");
  return errors;
}

void write_tables(const Automaton& a, std::ostream& out) {
  const Grammar& g = a.grammar;
  const int columns = g.terminal_count + 1;  // the last column: tokens the grammar never uses
  out << "// Parse tables derived from grammar.hpp by calc_tablegen. Generated; do not edit.\n"
         "#pragma once\n#include <cstdint>\n#include \"grammar.hpp\"\n\n"
         "namespace parse_tables {\n";
  out << "inline constexpr int state_count = " << a.states.size() << ";\n";
  out << "inline constexpr int terminal_count = " << g.terminal_count << ";\n";
  out << "inline constexpr int nonterminal_count = " << g.nonterminal_count() << ";\n";
  out << "inline constexpr int rule_count = " << g.productions.size() << ";\n";
  out << "inline constexpr int unknown_token = " << g.terminal_count << ";\n";
  out << "inline constexpr int accept = " << accept_code << ";\n";
  out << "inline constexpr int shift_reduce_base = " << shift_reduce_base << ";\n\n";

  std::vector<int> token_class(TOKEN_CODE_LIMIT, g.terminal_count);
  for (int t = 0; t < g.terminal_count; ++t) token_class[g.token_codes[t]] = t;
  out << "// token code -> column of `action`\n"
         "inline constexpr std::uint8_t token_class["
      << TOKEN_CODE_LIMIT << "] = {";
  for (std::size_t i = 0; i < token_class.size(); ++i)
    out << (i % 24 == 0 ? "\n   " : "") << " " << token_class[i] << ",";
  out << "\n};\n\n";

  out << "// [state][token class]: 0 error, s > 0 shift to s, -r reduce by rule r, accept,\n"
         "// -(shift_reduce_base + r) shift and reduce by the one-symbol rule r at once\n"
         "inline constexpr std::int16_t action["
      << a.states.size() << "][" << columns << "] = {\n";
  for (std::size_t s = 0; s < a.states.size(); ++s) {
    out << "    {";
    for (int t = 0; t < g.terminal_count; ++t) out << emitted_action(a, s, t) << ",";
    out << "0},\n";
  }
  out << "};\n\n";

  out << "// [state]: rule reduced without reading a token, 0 for none\n"
         "inline constexpr std::uint8_t default_rule["
      << a.states.size() << "] = {";
  for (std::size_t s = 0; s < a.states.size(); ++s)
    out << (s % 24 == 0 ? "\n   " : "") << " " << a.default_rule[s] << ",";
  out << "\n};\n\n";

  out << "// [state][nonterminal][column]: state after reducing to that nonterminal and then\n"
         "// through the unit rules the lookahead in that column triggers; the last two\n"
         "// columns are for an unknown token and for no lookahead yet. 255 for none.\n"
         "inline constexpr int unread_column = "
      << a.unread_column() << ";\n"
      << "inline constexpr std::uint8_t go_to[" << a.states.size() << "][" << g.nonterminal_count()
      << "][" << columns + 1 << "] = {\n";
  for (std::size_t s = 0; s < a.states.size(); ++s) {
    out << "  {\n";
    for (const std::vector<int>& row : a.chained_goto[s]) {
      out << "    {";
      for (int target : row) out << (target < 0 ? 255 : target) << ",";
      out << "},\n";
    }
    out << "  },\n";
  }
  out << "};\n\n";

  std::ostringstream lhs, length, action;
  for (const Production& p : g.productions) {
    lhs << " " << (p.lhs - g.terminal_count) << ",";
    length << " " << p.rhs.size() << ",";
    action << " static_cast<Action>(" << static_cast<int>(p.action) << "),";
  }
  out << "// [rule]: left side (nonterminal index), right side length, action\n";
  out << "inline constexpr std::uint8_t rule_lhs[] = {" << lhs.str() << "};\n";
  out << "inline constexpr std::uint8_t rule_length[] = {" << length.str() << "};\n";
  out << "inline constexpr Action rule_action[] = {" << action.str() << "};\n";
  out << "}  // namespace parse_tables\n";
}

}  // namespace lalr
