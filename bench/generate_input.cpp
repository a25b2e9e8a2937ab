// generate_input: seeded, realistic calculator input of a given size.
//
//   generate_input BYTES [SEED] > file
//
// Mostly assignments and expressions over variables and literals of every
// size, every operator, compound assignments, about 1% of statements
// faulting, an occasional dump, statements laid over lines in varied ways;
// never a syntax error and never deeper than the parse stack allows. The
// generator evaluates each statement itself, so it knows which fault, and
// keeps variables from drifting into values where everything overflows.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>

namespace {

std::mt19937_64 rng;

int below(int n) { return static_cast<int>(rng() % static_cast<std::uint64_t>(n)); }
bool chance(int percent) { return below(100) < percent; }

std::int32_t vars[26];

// An expression as text with its value; nullopt once a fault has happened.
struct Expr {
  std::string text;
  std::optional<std::int64_t> value;
};

std::optional<std::int64_t> fits(std::int64_t v) {
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return v;
}

std::string literal_text(std::int64_t& value) {
  int kind = below(100);
  if (kind < 55) value = below(10);
  else if (kind < 80) value = below(1000);
  else if (kind < 95) value = static_cast<std::int64_t>(rng() % 100000);
  else if (kind < 99) value = static_cast<std::int64_t>(rng() % 2147483648ULL);
  else {
    value = below(100);
    return std::string(static_cast<std::size_t>(1 + below(30)), '0') + std::to_string(value);
  }
  return std::to_string(value);
}

const char* space() {
  int k = below(100);
  return k < 70 ? " " : k < 90 ? "" : k < 97 ? "\n" : "\t";
}

Expr primary(int depth);

Expr binary(int depth) {
  static const char* ops[] = {"+", "-", "*", "/", "%", "<<", ">>", "&", "|", "^"};
  Expr l = depth > 0 && chance(50) ? binary(depth - 1) : primary(depth);
  Expr r = depth > 0 && chance(30) ? binary(depth - 1) : primary(depth);
  const int op = below(10);
  std::string text = "(" + l.text + space() + ops[op] + space() + r.text + ")";
  if (!l.value || !r.value) return {text, std::nullopt};
  const std::int64_t a = *l.value, b = *r.value;
  const auto a32 = static_cast<std::int32_t>(a), b32 = static_cast<std::int32_t>(b);
  std::optional<std::int64_t> v;
  switch (op) {
    case 0: v = fits(a + b); break;
    case 1: v = fits(a - b); break;
    case 2: v = fits(a * b); break;
    case 3: v = b == 0 || (a == INT32_MIN && b == -1) ? std::nullopt : std::optional(std::int64_t{a32 / b32}); break;
    case 4: v = b == 0 ? std::nullopt : b == -1 ? 0 : std::optional(std::int64_t{a32 % b32}); break;
    case 5: v = fits(static_cast<std::int64_t>(static_cast<std::uint64_t>(a) << (b & 63))); break;
    case 6: v = a >> (b & 63); break;
    case 7: v = a & b; break;
    case 8: v = a | b; break;
    default: v = a ^ b; break;
  }
  return {text, v};
}

Expr primary(int depth) {
  int k = below(100);
  if (k < 45) {
    int v = below(26);
    return {std::string(1, static_cast<char>('a' + v)), vars[v]};
  }
  if (k < 85) {
    std::int64_t value;
    std::string text = literal_text(value);
    return {text, value};
  }
  if (k < 92 && depth > 0) return binary(depth - 1);
  Expr inner = primary(0);
  if (!inner.value) return inner;
  if (chance(50)) return {"-" + inner.text, fits(-*inner.value)};
  // '~' takes no operand that starts with '-'.
  if (inner.text.front() == '-') inner.text = "(" + inner.text + ")";
  return {"~" + inner.text, ~*inner.value};
}

// One statement whose outcome is a fault exactly when `want_fault`.
std::string statement(bool want_fault) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    Expr e = chance(60) ? binary(below(3)) : primary(1);
    if (e.text.front() == '(' && e.text.back() == ')' && chance(70))
      e.text = e.text.substr(1, e.text.size() - 2);  // top-level parentheses are optional
    const int kind = below(100);
    const int target = below(26);
    std::string text;
    std::optional<std::int64_t> v = e.value;
    if (kind < 45) {
      text = std::string(1, static_cast<char>('a' + target)) + space() + "=" + space() + e.text;
    } else if (kind < 65) {
      static const char* ops[] = {"+=", "-=", "*=", "/=", "%=", "<<=", ">>=", "&=", "|=", "^="};
      const int op = below(10);
      text = std::string(1, static_cast<char>('a' + target)) + space() + ops[op] + space() + e.text;
      if (v) {
        const std::int64_t a = vars[target], b = *v;
        const auto a32 = static_cast<std::int32_t>(a), b32 = static_cast<std::int32_t>(b);
        switch (op) {
          case 0: v = fits(a + b); break;
          case 1: v = fits(a - b); break;
          case 2: v = fits(a * b); break;
          case 3: v = b == 0 || (a == INT32_MIN && b == -1) ? std::nullopt : std::optional(std::int64_t{a32 / b32}); break;
          case 4: v = b == 0 ? std::nullopt : b == -1 ? 0 : std::optional(std::int64_t{a32 % b32}); break;
          case 5: v = fits(static_cast<std::int64_t>(static_cast<std::uint64_t>(a) << (b & 63))); break;
          case 6: v = a >> (b & 63); break;
          case 7: v = a & b; break;
          case 8: v = a | b; break;
          default: v = a ^ b; break;
        }
      }
    } else {
      text = e.text;
    }
    if (v.has_value() == want_fault) continue;
    // Keep the variables in a range where most statements stay exact.
    if (v && kind < 65 && (*v > 1'000'000 || *v < -1'000'000) && chance(90)) continue;
    if (v && kind < 65) vars[target] = static_cast<std::int32_t>(*v);
    return text + space() + ";";
  }
  vars[0] = 1;
  return want_fault ? "1 / 0;" : "a = 1;";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: generate_input BYTES [SEED]\n", stderr);
    return 2;
  }
  const std::uint64_t bytes = std::strtoull(argv[1], nullptr, 10);
  rng.seed(argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1);
  std::string out;
  std::uint64_t written = 0;
  while (written < bytes) {
    if (below(10000) < 3) {
      out += "dump;\n";
    } else {
      out += statement(below(100) == 0);
      out += chance(60) ? "\n" : chance(80) ? " " : "\n\n";
    }
    if (out.size() > (1 << 16)) {
      written += std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return std::fclose(stdout) == 0 ? 0 : 1;
}
