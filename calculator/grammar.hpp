// The statement grammar, written once as data. The table builder derives the
// LALR(1) parse tables from it at build time; the parse engine runs each
// rule's action when it reduces the rule. Rule numbers are positions in
// `grammar` counted from 1 (0 is the builder's start rule).
//
// Symbols: 'c' is a character token, UPPER_CASE a named token, lower_case a
// nonterminal; the first rule's left side is the start symbol. A rule without
// an action (Action::pass) takes the value of its first right-side symbol. A
// rule with an empty right side has no value to act on and no action (the
// table builder refuses one): its value is empty, and the engines run none.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

#include "tokens.hpp"

enum class Action : std::uint8_t {
  pass,
  end_statement,  // clear the fault flags
  dump,
  clear,
  print,  // the statement's value, or the name of its fault
  assign,
  add_assign,
  sub_assign,
  mul_assign,
  div_assign,
  mod_assign,
  lshift_assign,
  rshift_assign,
  and_assign,
  or_assign,
  xor_assign,
  bit_or,
  bit_xor,
  bit_and,
  lshift,
  rshift,
  add,
  sub,
  mul,
  div,
  mod,
  negate,
  complement,
  parenthesis,
  variable_value,
  variable_ref,
  number,
};

struct GrammarRule {
  std::string_view lhs;
  std::string_view rhs;
  Action action;
};

// clang-format off
inline constexpr GrammarRule grammar[] = {
    {"program",    "",                                    Action::pass},
    {"program",    "program line",                        Action::pass},
    {"line",       "stmt",                                Action::end_statement},
    {"line",       "DUMP ';'",                            Action::dump},
    {"line",       "CLEAR ';'",                           Action::clear},
    {"stmt",       "assign ';'",                          Action::print},
    {"assign",     "var '=' assign",                      Action::assign},
    {"assign",     "var ADD_ASSIGN assign",               Action::add_assign},
    {"assign",     "var SUB_ASSIGN assign",               Action::sub_assign},
    {"assign",     "var MUL_ASSIGN assign",               Action::mul_assign},
    {"assign",     "var DIV_ASSIGN assign",               Action::div_assign},
    {"assign",     "var MOD_ASSIGN assign",               Action::mod_assign},
    {"assign",     "var LSHIFT_ASSIGN assign",            Action::lshift_assign},
    {"assign",     "var RSHIFT_ASSIGN assign",            Action::rshift_assign},
    {"assign",     "var AND_ASSIGN assign",               Action::and_assign},
    {"assign",     "var OR_ASSIGN assign",                Action::or_assign},
    {"assign",     "var XOR_ASSIGN assign",               Action::xor_assign},
    {"assign",     "or_expr",                             Action::pass},
    {"or_expr",    "or_expr '|' xor_expr",                Action::bit_or},
    {"or_expr",    "xor_expr",                            Action::pass},
    {"xor_expr",   "xor_expr '^' and_expr",               Action::bit_xor},
    {"xor_expr",   "and_expr",                            Action::pass},
    {"and_expr",   "and_expr '&' shift_expr",             Action::bit_and},
    {"and_expr",   "shift_expr",                          Action::pass},
    {"shift_expr", "shift_expr LSHIFT add_expr",          Action::lshift},
    {"shift_expr", "shift_expr RSHIFT add_expr",          Action::rshift},
    {"shift_expr", "add_expr",                            Action::pass},
    {"add_expr",   "add_expr '+' mul_expr",               Action::add},
    {"add_expr",   "add_expr '-' mul_expr",               Action::sub},
    {"add_expr",   "mul_expr",                            Action::pass},
    {"mul_expr",   "mul_expr '*' unary",                  Action::mul},
    {"mul_expr",   "mul_expr '/' unary",                  Action::div},
    {"mul_expr",   "mul_expr '%' unary",                  Action::mod},
    {"mul_expr",   "unary",                               Action::pass},
    {"unary",      "'-' unary",                           Action::negate},
    {"unary",      "not_expr",                            Action::pass},
    {"not_expr",   "'~' not_expr",                        Action::complement},
    {"not_expr",   "primary",                             Action::pass},
    {"primary",    "'(' or_expr ')'",                     Action::parenthesis},
    {"primary",    "var",                                 Action::variable_value},
    {"primary",    "number",                              Action::pass},
    {"var",        "LETTER",                              Action::variable_ref},
    {"number",     "NUMBER",                              Action::number},
};
// clang-format on
inline constexpr int grammar_rule_count = static_cast<int>(std::size(grammar));

struct NamedToken {
  std::string_view name;
  int code;
};

inline constexpr NamedToken named_tokens[] = {
    {"LSHIFT", LSHIFT},
    {"RSHIFT", RSHIFT},
    {"ADD_ASSIGN", ADD_ASSIGN},
    {"SUB_ASSIGN", SUB_ASSIGN},
    {"MUL_ASSIGN", MUL_ASSIGN},
    {"DIV_ASSIGN", DIV_ASSIGN},
    {"MOD_ASSIGN", MOD_ASSIGN},
    {"LSHIFT_ASSIGN", LSHIFT_ASSIGN},
    {"RSHIFT_ASSIGN", RSHIFT_ASSIGN},
    {"AND_ASSIGN", AND_ASSIGN},
    {"OR_ASSIGN", OR_ASSIGN},
    {"XOR_ASSIGN", XOR_ASSIGN},
    {"DUMP", DUMP},
    {"CLEAR", CLEAR},
    {"NUMBER", NUMBER},
    {"LETTER", LETTER},
};
