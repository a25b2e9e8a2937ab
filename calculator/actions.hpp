// What each grammar rule does when the parse engine reduces it.
#pragma once

#include "arith.hpp"
#include "grammar.hpp"
#include "output.hpp"
#include "tokens.hpp"

// rhs[0..n) are the values of the rule's right side; returns the value of
// its left side. Compound assignments read their variable here, after the
// whole right side (inner assignments included) has been evaluated.
[[gnu::always_inline]] inline SemValue run_action(Action action, const SemValue* rhs) {
  auto value = [](std::int64_t v) { return SemValue{.val = low32(v)}; };
  auto compound = [&](std::int64_t v) { return SemValue{.val = asg(rhs[0].ref, low32(v))}; };
  const std::int32_t var =
      action >= Action::assign && action <= Action::xor_assign ? *rhs[0].ref : 0;
  switch (action) {
    case Action::pass: return rhs[0];
    case Action::end_statement: error = overflow = dividebyzero = 0; return rhs[0];
    case Action::dump:
      for (int slot = 0; slot < 26; ++slot) {
        putc_unlocked('a' + slot, stdout);
        write_text(": ");
        write_int_line(id[slot]);
      }
      return rhs[0];
    case Action::clear:
      for (std::int32_t& slot : id) slot = 0;
      return rhs[0];
    case Action::print:
      if (overflow) {
        write_text("overflow\n");
      } else if (dividebyzero) {
        write_text("dividebyzero\n");
      } else {
        write_int_line(rhs[0].val);
      }
      return rhs[0];
    case Action::assign: return SemValue{.val = asg(rhs[0].ref, rhs[2].val)};
    case Action::add_assign: return compound(chk(std::int64_t{var} + rhs[2].val));
    case Action::sub_assign: return compound(chk(std::int64_t{var} - rhs[2].val));
    case Action::mul_assign: return compound(chk(std::int64_t{var} * rhs[2].val));
    case Action::div_assign: return compound(dv(var, rhs[2].val));
    case Action::mod_assign: return compound(mod(var, rhs[2].val));
    case Action::lshift_assign: return compound(chk(shl64(var, rhs[2].val)));
    case Action::rshift_assign: return compound(chk(shr64(var, rhs[2].val)));
    case Action::and_assign: return compound(var & rhs[2].val);
    case Action::or_assign: return compound(var | rhs[2].val);
    case Action::xor_assign: return compound(var ^ rhs[2].val);
    case Action::bit_or: return value(rhs[0].val | rhs[2].val);
    case Action::bit_xor: return value(rhs[0].val ^ rhs[2].val);
    case Action::bit_and: return value(rhs[0].val & rhs[2].val);
    case Action::lshift: return value(chk(shl64(rhs[0].val, rhs[2].val)));
    case Action::rshift: return value(chk(shr64(rhs[0].val, rhs[2].val)));
    case Action::add: return value(chk(std::int64_t{rhs[0].val} + rhs[2].val));
    case Action::sub: return value(chk(std::int64_t{rhs[0].val} - rhs[2].val));
    case Action::mul: return value(chk(std::int64_t{rhs[0].val} * rhs[2].val));
    case Action::div: return value(dv(rhs[0].val, rhs[2].val));
    case Action::mod: return value(mod(rhs[0].val, rhs[2].val));
    case Action::negate: return value(chk(-std::int64_t{rhs[1].val}));
    case Action::complement: return value(~rhs[1].val);
    case Action::parenthesis: return rhs[1];
    case Action::variable_value: return value(*rhs[0].ref);
    case Action::variable_ref: return SemValue{.ref = &id[rhs[0].letter - 'a']};
    case Action::number: return value(chk(rhs[0].val));
  }
  return rhs[0];
}
