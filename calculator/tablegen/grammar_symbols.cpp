// Phase "resolve": the textual rules of grammar.hpp turned into numbered
// symbols and productions. Terminals come first; index 0 is end of input.
#include <algorithm>
#include <set>
#include <string>

#include "lalr.hpp"

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
    if (p.rhs.empty() && p.action != Action::pass)
      error += "the empty rule for " + std::string(rule.lhs) +
               " has an action, but an empty rule has no value to act on and the engines run "
               "none for it: give it Action::pass\n";
    g.productions.push_back(std::move(p));
  }
  // Checked here rather than with the other encoding limits: the builder's own
  // terminal sets cannot hold more.
  if (g.terminal_count > max_terminals)
    error += std::to_string(g.terminal_count) + " terminals, but the tables hold at most " +
             std::to_string(max_terminals) + "\n";
  return g;
}

}  // namespace lalr
