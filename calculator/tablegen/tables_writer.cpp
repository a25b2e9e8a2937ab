// Phase "emit": the checks that the tables fit their encoding
// (table_encoding.hpp), and the tables written as C++ source for the engine.
#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>

#include "lalr.hpp"

namespace lalr {
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
  out << "}  // namespace parse_tables\n\n";

  out << "// Every rule's number, for code written once and expanded per rule.\n"
         "#define PARSE_TABLES_FOR_EACH_RULE(X)";
  for (std::size_t r = 1; r < g.productions.size(); ++r)
    out << (r % 16 == 1 ? " \\\n " : "") << " X(" << r << ")";
  out << "\n";
}

}  // namespace lalr
