// How the parse tables are stored: the ranges the table builder must keep
// to, which it checks before writing tables, and that the parse engine
// relies on, which it checks at compile time against the same numbers.
#pragma once

namespace table_encoding {

// Parse action codes in the builder's action table:
//   0            syntax error
//   s > 0        shift the token and go to state s (state 0 is never a target)
//   -r < 0       reduce by rule r (r >= 1)
//   accept_code  end of input accepted
// The textbook engine reads them, 16 bits each; the plans engine runs each
// step's plan instead.
inline constexpr int accept_code = 0x7fff;

// Terminal sets are 64-bit sets in the builder; token classes are bytes.
inline constexpr int max_terminals = 64;
// States are bytes (the state stack, the gotos), and 255 marks a missing
// goto.
inline constexpr int max_states = 255;
// Rules are numbered from 1; their left sides (as nonterminal indexes) and
// their lengths are bytes.
inline constexpr int max_rules = 255;
inline constexpr int max_nonterminals = 256;
inline constexpr int max_rule_length = 255;
// A step's plan is a 16-bit number.
inline constexpr int max_plans = 65535;

static_assert(max_states < accept_code, "a shift code never reads as accept");

}  // namespace table_encoding
