// How the parse tables are stored: the ranges the table builder must keep
// to, which it checks before writing tables, and that the parse engine
// relies on, which it checks at compile time against the same numbers.
#pragma once

namespace table_encoding {

// Parse action codes, in the builder, the emitted tables and the engine:
//   0            syntax error
//   s > 0        shift the token and go to state s (state 0 is never a target)
//   -r < 0       reduce by rule r (r >= 1)
//   accept_code  end of input accepted
// The emitted tables add one kind:
//   -(shift_reduce_base + r)  shift the token into a state whose one action is
//                             reducing it by rule r, and reduce it right away
// Actions are stored as 16-bit integers.
inline constexpr int accept_code = 0x7fff;
inline constexpr int shift_reduce_base = 128;

// Terminal sets are 64-bit sets in the builder; token classes are bytes.
inline constexpr int max_terminals = 64;
// States are bytes (the state stack, the gotos, a step's operand), and 255
// marks a missing goto.
inline constexpr int max_states = 255;
// Rules are numbered from 1. The engine numbers its handlers in one byte:
// four fixed ones, then two per rule (reduce; shift and reduce).
inline constexpr int max_rules = (256 - 4) / 2;
// A rule's left side (as a nonterminal index) and its length are bytes.
inline constexpr int max_nonterminals = 256;
inline constexpr int max_rule_length = 255;

static_assert(max_rules < shift_reduce_base,
              "a reduce code never reads as a shift-and-reduce code");
static_assert(max_states < accept_code, "a shift code never reads as accept");
static_assert(shift_reduce_base + max_rules <= 32768, "every action fits 16 bits");

}  // namespace table_encoding
