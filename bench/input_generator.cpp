// Seeded, realistic calculator input: mostly assignments and expressions over variables and
// literals of every size, every operator, compound assignments, about 1% of statements faulting, an
// occasional dump, statements laid over lines in varied ways; never a syntax error and never deeper
// than the parse stack allows. The generator evaluates each statement itself, so it knows which
// fault, and keeps variables from drifting into values where everything overflows.
#include "bench/input_generator.hpp"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace {

std::mt19937_64 rng;

int below(int n) {
  return static_cast<int>(rng() % static_cast<std::uint64_t>(n));
}
bool chance(int percent) {
  return below(100) < percent;
}

std::int32_t vars[26];

// An expression as text with its value (nullopt once a fault has happened)
// and the binding strength of its outermost operator.
struct Expr {
  std::string text;
  std::optional<std::int64_t> value;
  int strength;
};

enum Strength { or_ = 3, xor_, and_, shift, add, mul, negate, complement, primary_ };

std::optional<std::int64_t> fits(std::int64_t v) {
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return v;
}

// Literals of every size: one digit up to ten, now and then a long one
// padded with zeros.
std::string literal_text(std::int64_t& value) {
  static const std::int64_t limits[] = {10,      100,      1000,      10000,      100000,
                                        1000000, 10000000, 100000000, 1000000000, 2147483648LL};
  const int k = below(100);
  const int digits = k < 30 ? 1 : k < 50 ? 2 + below(2) : k < 75 ? 4 + below(3) : 7 + below(4);
  value = static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(limits[digits - 1]));
  if (chance(2))
    return std::string(static_cast<std::size_t>(1 + below(30)), '0') + std::to_string(value);
  return std::to_string(value);
}

// Blanks around an operator: mostly one space, sometimes none, now and then
// a line break or a tab.
const char* space() {
  int k = below(100);
  return k < 85 ? " " : k < 95 ? "" : k < 98 ? "\n" : "\t";
}

// `prefix` then `text`, built front to back.
std::string joined(std::string_view prefix, std::string_view text, std::string_view suffix = {}) {
  std::string out;
  out.reserve(prefix.size() + text.size() + suffix.size());
  out.append(prefix).append(text).append(suffix);
  return out;
}

std::string wrapped(const Expr& e, int needed) {
  return e.strength < needed || chance(5) ? joined("(", e.text, ")") : e.text;
}

std::optional<std::int64_t> apply(int op, std::int64_t a, std::int64_t b) {
  const auto a32 = static_cast<std::int32_t>(a), b32 = static_cast<std::int32_t>(b);
  switch (op) {
    case 0: return fits(a + b);
    case 1: return fits(a - b);
    case 2: return fits(a * b);
    case 3:
      if (b == 0 || (a == INT32_MIN && b == -1)) return std::nullopt;
      return a32 / b32;
    case 4:
      if (b == 0) return std::nullopt;
      return b == -1 ? 0 : a32 % b32;
    case 5: return fits(static_cast<std::int64_t>(static_cast<std::uint64_t>(a) << (b & 63)));
    case 6: return a >> (b & 63);
    case 7: return a & b;
    case 8: return a | b;
    default: return a ^ b;
  }
}

const char* const operators[] = {"+", "-", "*", "/", "%", "<<", ">>", "&", "|", "^"};
const int operator_strength[] = {add, add, mul, mul, mul, shift, shift, and_, or_, xor_};

Expr operand(int depth);

Expr binary(int depth) {
  // Arithmetic operators are the common ones; bitwise ones and shifts rarer.
  static const int weights[] = {20, 15, 15, 8, 6, 6, 6, 8, 8, 8};
  int pick = below(100), op = 0;
  while (pick >= weights[op]) pick -= weights[op++];
  const int strength = operator_strength[op];
  Expr l = depth > 0 && chance(40) ? binary(depth - 1) : operand(depth);
  Expr r = depth > 0 && chance(25) ? binary(depth - 1) : operand(depth);
  std::string text =
      wrapped(l, strength) + space() + operators[op] + space() + wrapped(r, strength + 1);
  if (!l.value || !r.value) return {text, std::nullopt, strength};
  return {text, apply(op, *l.value, *r.value), strength};
}

Expr operand(int depth) {
  int k = below(100);
  if (k < 45) {
    int v = below(26);
    return {std::string(1, static_cast<char>('a' + v)), vars[v], primary_};
  }
  if (k < 88) {
    std::int64_t value;
    std::string text = literal_text(value);
    return {text, value, primary_};
  }
  if (k < 93 && depth > 0) {
    Expr inner = binary(depth - 1);
    return {joined("(", inner.text, ")"), inner.value, primary_};
  }
  Expr inner = operand(0);
  if (chance(60)) {
    std::string text = joined("-", wrapped(inner, negate));
    return {text, inner.value ? fits(-*inner.value) : std::nullopt, negate};
  }
  // '~' takes no operand that starts with '-'.
  std::string text = joined("~", wrapped(inner, complement));
  return {text, inner.value ? std::optional(~*inner.value) : std::nullopt, complement};
}

// One statement whose outcome is a fault exactly when `want_fault`.
std::string statement(bool want_fault) {
  static const char* const compound[] = {
      "+=", "-=", "*=", "/=", "%=", "<<=", ">>=", "&=", "|=", "^="};
  for (int attempt = 0; attempt < 50; ++attempt) {
    Expr e = chance(65) ? binary(below(3)) : operand(1);
    const int kind = below(100);
    const int target = below(26);
    const std::string name(1, static_cast<char>('a' + target));
    std::string text;
    std::optional<std::int64_t> v = e.value;
    if (kind < 50) {
      text = name + space() + "=" + space() + e.text;
    } else if (kind < 65) {
      const int op = below(10);
      text = name + space() + compound[op] + space() + e.text;
      if (v) v = apply(op, vars[target], *v);
    } else {
      text = e.text;
    }
    if (v.has_value() == want_fault) continue;
    // Keep the variables in a range where most statements stay exact.
    if (v && kind < 65 && (*v > 100'000'000 || *v < -100'000'000) && chance(90)) continue;
    if (v && kind < 65) vars[target] = static_cast<std::int32_t>(*v);
    return text + (chance(90) ? "" : " ") + ";";
  }
  vars[0] = 1;
  return want_fault ? "1 / 0;" : "a = 1;";
}

}  // namespace

std::string generate_input(std::uint64_t bytes, std::uint64_t seed, std::FILE* sink) {
  rng.seed(seed);
  for (std::int32_t& v : vars) v = 0;
  std::string out;
  std::uint64_t written = 0;
  while (written + out.size() < bytes) {
    if (below(10000) < 3) {
      out += "dump;\n";
    } else {
      out += statement(below(100) == 0);
      // Mostly a statement a line; sometimes several on one line, or a blank line.
      out += chance(75) ? "\n" : chance(80) ? " " : "\n\n";
    }
    if (sink != nullptr && out.size() > (1 << 16)) {
      written += std::fwrite(out.data(), 1, out.size(), sink);
      out.clear();
    }
  }
  if (sink != nullptr) {
    std::fwrite(out.data(), 1, out.size(), sink);
    out.clear();
  }
  return out;
}
