// What each grammar rule does when the parse engine reduces it.
#pragma once

#include <string_view>

#include "arith.hpp"
#include "grammar.hpp"
#include "output.hpp"
#include "tokens.hpp"

// rhs[0..n) are the values of the rule's right side; returns the value of
// its left side.
[[gnu::always_inline]] inline SemValue value_of(std::int64_t checked) {
  return SemValue{.val = low32(checked)};
}

[[gnu::always_inline]] inline SemValue stored(std::int32_t* slot, std::int64_t checked) {
  return SemValue{.val = asg(slot, low32(checked))};
}

// A compound assignment's variable, `var OP= assign`: read when the rule is
// reduced, after the whole right side (inner assignments included) has run.
// Each compound case reads it itself, so a new one cannot forget to.
[[gnu::always_inline]] inline std::int32_t variable(const SemValue* rhs) {
  return *rhs[0].ref;
}

// Every Action has its case: the build fails on a missing one (-Werror=switch).
[[gnu::always_inline]] inline SemValue run_action(Action action, const SemValue* rhs) {
  switch (action) {
    case Action::pass: return rhs[0];
    case Action::end_statement: error = overflow = dividebyzero = 0; return rhs[0];
    case Action::dump:
      for (int slot = 0; slot < 26; ++slot) {
        const char name[] = {static_cast<char>('a' + slot), ':', ' '};
        write_text(std::string_view(name, sizeof name));
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
    case Action::add_assign:
      return stored(rhs[0].ref, chk(std::int64_t{variable(rhs)} + rhs[2].val));
    case Action::sub_assign:
      return stored(rhs[0].ref, chk(std::int64_t{variable(rhs)} - rhs[2].val));
    case Action::mul_assign:
      return stored(rhs[0].ref, chk(std::int64_t{variable(rhs)} * rhs[2].val));
    case Action::div_assign: return stored(rhs[0].ref, dv(variable(rhs), rhs[2].val));
    case Action::mod_assign: return stored(rhs[0].ref, mod(variable(rhs), rhs[2].val));
    case Action::lshift_assign: return stored(rhs[0].ref, chk(shl64(variable(rhs), rhs[2].val)));
    case Action::rshift_assign: return stored(rhs[0].ref, chk(shr64(variable(rhs), rhs[2].val)));
    case Action::and_assign: return stored(rhs[0].ref, variable(rhs) & rhs[2].val);
    case Action::or_assign: return stored(rhs[0].ref, variable(rhs) | rhs[2].val);
    case Action::xor_assign: return stored(rhs[0].ref, variable(rhs) ^ rhs[2].val);
    case Action::bit_or: return value_of(rhs[0].val | rhs[2].val);
    case Action::bit_xor: return value_of(rhs[0].val ^ rhs[2].val);
    case Action::bit_and: return value_of(rhs[0].val & rhs[2].val);
    case Action::lshift: return value_of(chk(shl64(rhs[0].val, rhs[2].val)));
    case Action::rshift: return value_of(chk(shr64(rhs[0].val, rhs[2].val)));
    case Action::add: return value_of(chk(std::int64_t{rhs[0].val} + rhs[2].val));
    case Action::sub: return value_of(chk(std::int64_t{rhs[0].val} - rhs[2].val));
    case Action::mul: return value_of(chk(std::int64_t{rhs[0].val} * rhs[2].val));
    case Action::div: return value_of(dv(rhs[0].val, rhs[2].val));
    case Action::mod: return value_of(mod(rhs[0].val, rhs[2].val));
    case Action::negate: return value_of(chk(-std::int64_t{rhs[1].val}));
    case Action::complement: return value_of(~rhs[1].val);
    case Action::parenthesis: return rhs[1];
    case Action::variable_value: return value_of(*rhs[0].ref);
    // The difference first: the compiler folds 'a' into the address.
    case Action::variable_ref: return SemValue{.ref = id + (rhs[0].letter - 'a')};
    case Action::number: return value_of(chk(rhs[0].val));
  }
  return rhs[0];
}
