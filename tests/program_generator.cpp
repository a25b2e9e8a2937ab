#include "program_generator.hpp"

#include <initializer_list>
#include <random>
#include <string_view>

namespace {

std::string concat(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view part : parts) out += part;
  return out;
}

class Generator {
 public:
  explicit Generator(std::uint64_t seed) : rng_(seed) {}

  std::string program() {
    std::string text;
    const int statements = pick(0, 12);
    for (int i = 0; i < statements; ++i) {
      text += statement();
      text += separator();
    }
    if (chance(15)) corrupt(text);
    return text;
  }

 private:
  std::mt19937_64 rng_;

  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool chance(int percent) { return pick(0, 99) < percent; }
  template <std::size_t N>
  std::string_view any(const std::string_view (&items)[N]) {
    return items[static_cast<std::size_t>(pick(0, static_cast<int>(N) - 1))];
  }

  std::string separator() {
    static const std::string_view blanks[] = {"\n", " ", "", "\t", "\n\n", " \n\t "};
    return std::string(any(blanks));
  }
  std::string space() { return chance(70) ? " " : separator(); }

  std::string literal() {
    static const std::string_view edges[] = {"0",
                                             "1",
                                             "2",
                                             "7",
                                             "31",
                                             "32",
                                             "63",
                                             "64",
                                             "65",
                                             "65536",
                                             "32768",
                                             "46341",
                                             "2147483647",
                                             "2147483648",
                                             "2147483649",
                                             "4294967295",
                                             "4294967296",
                                             "9223372036854775807",
                                             "9223372036854775808",
                                             "18446744073709551615",
                                             "18446744073709551616",
                                             "99999999999999999999999"};
    const int k = pick(0, 99);
    if (k < 45) return std::to_string(pick(0, 100));
    if (k < 80) return std::string(any(edges));
    if (k < 90) return std::to_string(static_cast<std::uint32_t>(rng_()));
    if (k < 95)
      return std::string(static_cast<std::size_t>(pick(1, 40)), '0') +
             std::to_string(pick(0, 9999));
    std::string digits(static_cast<std::size_t>(pick(20, 300)), '9');
    for (char& d : digits) d = static_cast<char>('0' + pick(0, 9));
    return digits;
  }

  std::string variable() {
    return std::string(1, static_cast<char>('a' + pick(0, chance(70) ? 3 : 25)));
  }

  std::string primary(int depth) {
    const int k = pick(0, 99);
    if (k < 40) return literal();
    if (k < 75 || depth <= 0) return variable();
    if (k < 85) return concat({"(", expression(depth - 1), ")"});
    if (k < 93) return concat({"-", space(), chance(50) ? "" : "-", primary(depth - 1)});
    // '~' takes an operand that does not start with '-'.
    std::string inner = primary(depth - 1);
    if (inner[0] == '-') inner = concat({"(", inner, ")"});
    return concat({"~", inner});
  }

  std::string expression(int depth) {
    static const std::string_view ops[] = {"+", "-", "*", "/", "%", "<<", ">>", "&", "|", "^"};
    std::string text = primary(depth);
    const int operators = depth > 0 ? pick(0, 3) : 0;
    for (int i = 0; i < operators; ++i) {
      text += space();
      text += any(ops);
      text += space();
      text += primary(depth - 1);
    }
    return text;
  }

  std::string assignment() {
    static const std::string_view ops[] = {
        "=", "+=", "-=", "*=", "/=", "%=", "<<=", ">>=", "&=", "|=", "^="};
    std::string text;
    const int chain = chance(50) ? 0 : pick(1, 4);
    for (int i = 0; i < chain; ++i) text += variable() + space() + std::string(any(ops)) + space();
    return text + expression(pick(0, 3));
  }

  // Nesting around the 500-entry parse stack: parentheses, signs, chains.
  std::string deep() {
    // Most often right at the limit, where an off-by-one would show.
    const int n = chance(70) ? pick(490, 502) : pick(100, 500);
    switch (pick(0, 3)) {
      case 0:
        return std::string(static_cast<std::size_t>(n), '(') + "1" +
               std::string(static_cast<std::size_t>(n), ')');
      case 1: return std::string(static_cast<std::size_t>(n), '-') + "2";
      case 2: return std::string(static_cast<std::size_t>(n), '~') + "3";
      default: {
        std::string text;
        for (int i = 0; i < n / 2; ++i) text += chance(90) ? "a = " : "b <<= ";
        return text + "4";
      }
    }
  }

  std::string statement() {
    const int k = pick(0, 99);
    if (k < 5) return concat({"dump", space(), ";"});
    if (k < 8) return "clear;";
    if (k < 11) return concat({deep(), ";"});
    return concat({assignment(), space(), ";"});
  }

  // A syntax error or an unexpected byte somewhere in the text.
  void corrupt(std::string& text) {
    static const std::string_view junk[] = {";",
                                            ")",
                                            "(",
                                            "=",
                                            "<",
                                            "<<<",
                                            "A",
                                            "_",
                                            "$",
                                            "\r",
                                            std::string_view("\0", 1),
                                            "\x80",
                                            "\xff",
                                            "dum",
                                            "dumpx",
                                            "1 2",
                                            "==",
                                            "+"};
    const std::size_t at =
        text.empty() ? 0 : static_cast<std::size_t>(pick(0, static_cast<int>(text.size())));
    if (chance(20) && !text.empty()) {
      text.erase(at == text.size() ? at - 1 : at, 1);  // drop a byte, often a ';'
    } else {
      text.insert(at, any(junk));
    }
  }
};

}  // namespace

std::string random_program(std::uint64_t seed) {
  return Generator(seed).program();
}
