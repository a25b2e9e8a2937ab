#include "reference_calculator.hpp"

#include <cstdint>
#include <optional>

namespace {

enum class Kind { end, number, letter, dump, clear, op, bad };

struct Token {
  Kind kind = Kind::end;
  std::string text;        // operators
  std::int32_t value = 0;  // number: low 32 bits
  char letter = 0;
};

struct SyntaxError {};
struct StackOverflow {};

// The parser's stack holds at most this many entries: the start entry, one
// for the program, one per symbol of the statement in progress.
constexpr int stack_entries = 500;

class Reference {
 public:
  explicit Reference(std::string_view input) : in_(input) {}

  ReferenceOutcome run() {
    ReferenceOutcome outcome;
    try {
      while (statement()) {
      }
      out_ += "\nCalculator off.\n";
      outcome.status = 0;
    } catch (const SyntaxError&) {
      outcome.err = "syntax error\n";
      out_ += "\nInvalid expression.\n";
      outcome.status = 1;
    } catch (const StackOverflow&) {
      outcome.err = "yacc stack overflow\n";
      out_ += "\nInvalid expression.\n";
      outcome.status = 1;
    }
    outcome.out = out_;
    return outcome;
  }

 private:
  enum class Fault { none, overflow, dividebyzero };

  std::string_view in_;
  std::size_t pos_ = 0;
  std::optional<Token> lookahead_;
  std::int32_t vars_[26] = {};
  Fault fault_ = Fault::none;
  std::string out_;

  // --- checked arithmetic: the first fault of a statement is kept ---
  void note(Fault f) {
    if (fault_ == Fault::none) fault_ = f;
  }
  std::int32_t fit(std::int64_t v) {
    if (v < INT32_MIN || v > INT32_MAX) note(Fault::overflow);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
  }
  std::int32_t quotient(std::int32_t a, std::int32_t b) {
    if (b == 0) {
      note(Fault::dividebyzero);
      return a;
    }
    return fit(static_cast<std::int64_t>(a) / b);  // exact in 64 bits
  }
  std::int32_t remainder(std::int32_t a, std::int32_t b) {
    if (b == 0) {
      note(Fault::dividebyzero);
      return a;
    }
    return static_cast<std::int32_t>(static_cast<std::int64_t>(a) % b);
  }
  std::int32_t apply(const std::string& op, std::int32_t a, std::int32_t b) {
    const std::int64_t x = a, y = b;
    if (op == "+") return fit(x + y);
    if (op == "-") return fit(x - y);
    if (op == "*") return fit(x * y);
    if (op == "/") return quotient(a, b);
    if (op == "%") return remainder(a, b);
    if (op == "<<")
      return fit(static_cast<std::int64_t>(static_cast<std::uint64_t>(x) << (y & 63)));
    if (op == ">>") return fit(x >> (y & 63));
    if (op == "&") return a & b;
    if (op == "|") return a | b;
    return a ^ b;
  }
  // The value a statement's store gets; stored only if nothing has faulted.
  void store(char letter, std::int32_t value) {
    if (fault_ == Fault::none) vars_[letter - 'a'] = value;
  }

  // --- tokens, read only when needed, as the parser asks for them ---
  Token scan() {
    while (pos_ < in_.size() && (in_[pos_] == ' ' || in_[pos_] == '\t' || in_[pos_] == '\n'))
      ++pos_;
    Token t;
    if (pos_ == in_.size()) return t;
    const char c = in_[pos_];
    auto next_is = [&](std::size_t k, char want) {
      return pos_ + k < in_.size() && in_[pos_ + k] == want;
    };
    if (c >= '0' && c <= '9') {
      std::uint64_t value = 0;
      bool saturated = false;
      while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
        const unsigned d = static_cast<unsigned>(in_[pos_++] - '0');
        if (value > (static_cast<std::uint64_t>(INT64_MAX) - d) / 10) saturated = true;
        if (!saturated) value = value * 10 + d;
      }
      t.kind = Kind::number;
      t.value = fit(saturated ? INT64_MAX : static_cast<std::int64_t>(value));
      return t;
    }
    if (in_.substr(pos_, 4) == "dump") {
      pos_ += 4;
      t.kind = Kind::dump;
      return t;
    }
    if (in_.substr(pos_, 5) == "clear") {
      pos_ += 5;
      t.kind = Kind::clear;
      return t;
    }
    if (c >= 'a' && c <= 'z') {
      ++pos_;
      t.kind = Kind::letter;
      t.letter = c;
      return t;
    }
    t.kind = Kind::op;
    if ((c == '<' || c == '>') && next_is(1, c)) {
      t.text = next_is(2, '=') ? std::string{c, c, '='} : std::string{c, c};
    } else if (std::string_view("+-*/%&|^").find(c) != std::string_view::npos && next_is(1, '=')) {
      t.text = std::string{c, '='};
    } else if (std::string_view("+-*/%&|^~()=;<>").find(c) != std::string_view::npos) {
      t.text = std::string{c};
    } else {
      t.kind = Kind::bad;
      t.text = std::string{c};
    }
    pos_ += t.text.size();
    return t;
  }

  const Token& peek() {
    if (!lookahead_) lookahead_ = scan();
    return *lookahead_;
  }
  bool peek_op(std::string_view text) { return peek().kind == Kind::op && peek().text == text; }

  // Consumes the lookahead, which enters the stack as entry `entries` + 1.
  Token shift(int entries) {
    if (entries >= stack_entries) throw StackOverflow{};
    Token t = peek();
    lookahead_.reset();
    return t;
  }
  void expect(std::string_view text, int entries) {
    if (!peek_op(text)) throw SyntaxError{};
    shift(entries);
  }

  // --- the statement grammar; `entries` counts the stack below the construct ---
  bool statement() {
    const int entries = 2;  // start entry and program
    const Token& t = peek();
    if (t.kind == Kind::end) return false;
    if (t.kind == Kind::dump || t.kind == Kind::clear) {
      const bool dump = t.kind == Kind::dump;
      shift(entries);
      expect(";", entries + 1);
      for (int v = 0; v < 26; ++v) {
        if (dump) {
          out_ += static_cast<char>('a' + v);
          out_ += ": " + std::to_string(vars_[v]) + "\n";
        } else {
          vars_[v] = 0;
        }
      }
      return true;
    }
    const std::int32_t value = assignment(entries);
    expect(";", entries + 1);
    if (fault_ == Fault::overflow) {
      out_ += "overflow\n";
    } else if (fault_ == Fault::dividebyzero) {
      out_ += "dividebyzero\n";
    } else {
      out_ += std::to_string(value) + "\n";
    }
    fault_ = Fault::none;
    return true;
  }

  static bool is_assignment(const Token& t) {
    static const char* const ops[] = {
        "=", "+=", "-=", "*=", "/=", "%=", "<<=", ">>=", "&=", "|=", "^="};
    if (t.kind != Kind::op) return false;
    for (const char* op : ops)
      if (t.text == op) return true;
    return false;
  }

  std::int32_t assignment(int entries) {
    if (peek().kind != Kind::letter) return binary(0, entries, std::nullopt);
    const char letter = shift(entries).letter;
    if (!is_assignment(peek())) {
      // Not assigned: the letter is the expression's first operand, read now.
      return binary(0, entries, vars_[letter - 'a']);
    }
    const std::string op = shift(entries + 1).text;
    const std::int32_t right = assignment(entries + 2);
    // A compound assignment reads its variable after its right side.
    const std::int32_t value =
        op == "=" ? right : apply(op.substr(0, op.size() - 1), vars_[letter - 'a'], right);
    store(letter, value);
    return value;
  }

  // Binary levels, loosest first; all group left to right.
  static bool at_level(int level, const std::string& op) {
    static const std::string_view levels[] = {"|", "^", "&", "<< >>", "+ -", "* / %"};
    if (op.empty() || op.find('=') != std::string::npos) return false;
    std::string_view names = levels[level];
    for (std::size_t p = 0; p < names.size();) {
      std::size_t e = names.find(' ', p);
      if (e == std::string_view::npos) e = names.size();
      if (names.substr(p, e - p) == op) return true;
      p = e + 1;
    }
    return false;
  }

  // `first`: a variable already read as the leftmost operand.
  std::int32_t binary(int level, int entries, std::optional<std::int32_t> first) {
    auto operand = [&](int at, std::optional<std::int32_t> f) {
      return level == 5 ? unary(at, f) : binary(level + 1, at, f);
    };
    std::int32_t left = operand(entries, first);
    while (peek().kind == Kind::op && at_level(level, peek().text)) {
      const std::string op = shift(entries + 1).text;
      const std::int32_t right = operand(entries + 2, std::nullopt);
      left = apply(op, left, right);
    }
    return left;
  }

  std::int32_t unary(int entries, std::optional<std::int32_t> first) {
    if (first) return *first;
    if (peek_op("-")) {
      shift(entries);
      return fit(-static_cast<std::int64_t>(unary(entries + 1, std::nullopt)));
    }
    return complement(entries);
  }

  std::int32_t complement(int entries) {
    if (peek_op("~")) {
      shift(entries);
      return ~complement(entries + 1);
    }
    return primary(entries);
  }

  std::int32_t primary(int entries) {
    const Token& t = peek();
    if (t.kind == Kind::number) return shift(entries).value;
    if (t.kind == Kind::letter) return vars_[shift(entries).letter - 'a'];
    if (!peek_op("(")) throw SyntaxError{};
    shift(entries);
    const std::int32_t inner = binary(0, entries + 1, std::nullopt);
    expect(")", entries + 2);
    return inner;
  }
};

}  // namespace

ReferenceOutcome reference_run(std::string_view input) {
  return Reference(input).run();
}
