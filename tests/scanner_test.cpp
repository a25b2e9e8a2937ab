// The scanner on in-memory input: longest match, keywords, literals, and
// the buffer that grows for long tokens.
#include "scanner.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arith.hpp"
#include "engine.hpp"
#include "memory_input.hpp"
#include "tokens.hpp"

namespace {

struct Token {
  int code;
  std::string text;
  bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Token& t) {
  return os << "{" << t.code << " \"" << t.text << "\"}";
}

std::size_t column(int code) {
  return static_cast<std::size_t>(engine::token_column(code));
}

// A token as the parse engine sees it: its column, and its value if it has one.
using Seen = std::pair<std::size_t, std::int32_t>;
Seen seen(std::size_t c, SemValue value) {
  return {c, c == column(NUMBER) ? value.val : c == column(LETTER) ? value.letter : 0};
}

// What the parse engine's way into the scanner finds, up to the end of input.
std::vector<Seen> through_scan_position(const std::string& input) {
  use_input(input);
  std::vector<Seen> found;
  ScanPosition position;
  for (std::size_t c = position.next_column(); c != column(0); c = position.next_column())
    found.push_back(seen(c, position.value()));
  position.hand_back();
  return found;
}

// The tokens yylex finds; the engine's way must find the same columns and
// values.
std::vector<Token> scan(const std::string& input) {
  use_input(input);
  std::vector<Token> tokens;
  std::vector<Seen> found;
  for (int code = yylex(); code != 0; code = yylex()) {
    tokens.push_back({code, yytext});
    found.push_back(seen(column(code), yylval));
  }
  EXPECT_EQ(through_scan_position(input), found) << "through ScanPosition";
  return tokens;
}

TEST(Scanner, OperatorsTakeTheLongestMatch) {
  EXPECT_EQ(scan("a<<=b"),
            (std::vector<Token>{{LETTER, "a"}, {LSHIFT_ASSIGN, "<<="}, {LETTER, "b"}}));
  EXPECT_EQ(scan("<<<"), (std::vector<Token>{{LSHIFT, "<<"}, {'<', "<"}}));
  EXPECT_EQ(scan(">>= >> >"),
            (std::vector<Token>{{RSHIFT_ASSIGN, ">>="}, {RSHIFT, ">>"}, {'>', ">"}}));
  EXPECT_EQ(scan("--=-"), (std::vector<Token>{{'-', "-"}, {SUB_ASSIGN, "-="}, {'-', "-"}}));
  EXPECT_EQ(scan("=="), (std::vector<Token>{{'=', "="}, {'=', "="}}));
  EXPECT_EQ(scan("+=*=/=%=&=|=^="), (std::vector<Token>{{ADD_ASSIGN, "+="},
                                                        {MUL_ASSIGN, "*="},
                                                        {DIV_ASSIGN, "/="},
                                                        {MOD_ASSIGN, "%="},
                                                        {AND_ASSIGN, "&="},
                                                        {OR_ASSIGN, "|="},
                                                        {XOR_ASSIGN, "^="}}));
}

TEST(Scanner, KeywordsWinOverLettersWhereverTheyStand) {
  EXPECT_EQ(scan("dumpx"), (std::vector<Token>{{DUMP, "dump"}, {LETTER, "x"}}));
  EXPECT_EQ(scan("dumpclear"), (std::vector<Token>{{DUMP, "dump"}, {CLEAR, "clear"}}));
  EXPECT_EQ(scan("dum"), (std::vector<Token>{{LETTER, "d"}, {LETTER, "u"}, {LETTER, "m"}}));
  EXPECT_EQ(scan("clea").size(), 4u);
  EXPECT_EQ(scan("xdump"), (std::vector<Token>{{LETTER, "x"}, {DUMP, "dump"}}));
}

// The engine takes the position from yylex and hands it back: each goes on
// where the other stopped, and yylex's NUL after a token never shows.
TEST(Scanner, YylexAndTheEngineTakeTurnsOnOneInput) {
  use_input("a+=12;b<<=c");
  EXPECT_EQ(yylex(), LETTER);
  {
    ScanPosition engine;
    EXPECT_EQ(engine.next_column(), column(ADD_ASSIGN));
    EXPECT_EQ(engine.next_column(), column(NUMBER));
    EXPECT_EQ(engine.value().val, 12);
    engine.hand_back();
  }
  EXPECT_EQ(yylex(), ';');
  EXPECT_EQ(yylex(), LETTER);
  EXPECT_STREQ(yytext, "b");
  {
    ScanPosition engine;
    EXPECT_EQ(engine.next_column(), column(LSHIFT_ASSIGN));
    engine.hand_back();
  }
  EXPECT_EQ(yylex(), LETTER);
  EXPECT_STREQ(yytext, "c");
  EXPECT_EQ(yylex(), 0);
}

TEST(Scanner, LettersCarryTheirLetter) {
  use_input("q");
  EXPECT_EQ(yylex(), LETTER);
  EXPECT_EQ(yylval.letter, 'q');
  EXPECT_EQ(yylex(), 0);
}

TEST(Scanner, OtherBytesStandForThemselves) {
  EXPECT_EQ(scan("A_$\r\f;"),
            (std::vector<Token>{
                {'A', "A"}, {'_', "_"}, {'$', "$"}, {'\r', "\r"}, {'\f', "\f"}, {';', ";"}}));
  // Never end of input: a high byte keeps its unsigned value, NUL has its own code.
  EXPECT_EQ(scan("\x80\xff").size(), 2u);
  EXPECT_EQ(scan("\x80")[0].code, 0x80);
  EXPECT_EQ(scan(std::string("1\0"
                             "2",
                             3)),
            (std::vector<Token>{{NUMBER, "1"}, {NUL_BYTE, ""}, {NUMBER, "2"}}));
}

TEST(Scanner, LiteralsAreDecimalAndRangeChecked) {
  struct {
    const char* text;
    std::int32_t value;
    int overflows;
  } cases[] = {
      {"2147483647", INT32_MAX, 0},
      {"2147483648", INT32_MIN, 1},
      {"000000000000000000000000000042", 42, 0},
      {"010", 10, 0},
      {"9223372036854775807", -1, 1},
      {"99999999999999999999999", -1, 1},  // saturates at the largest 64-bit value
  };
  for (auto c : cases) {
    use_input(c.text);
    EXPECT_EQ(yylex(), NUMBER) << c.text;
    EXPECT_STREQ(yytext, c.text);
    EXPECT_EQ(yylval.val, c.value) << c.text;
    EXPECT_EQ(overflow, c.overflows) << c.text;
  }
  EXPECT_EQ(scan("0x10"), (std::vector<Token>{{NUMBER, "0"}, {LETTER, "x"}, {NUMBER, "10"}}));
  EXPECT_EQ(scan("12abc").size(), 4u);
}

// Literals are scanned eight bytes at a time: every length, stopped by bytes
// that differ from a digit in one bit or one nibble.
TEST(Scanner, LiteralsOfEveryLengthStopAtTheFirstNonDigit) {
  for (std::size_t length = 1; length <= 24; ++length) {
    std::string digits;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < length; ++i) {
      digits += static_cast<char>('1' + i % 9);
      value = value * 10 + (i % 9 + 1);
    }
    for (char stop : std::string("/:p\xb0\xb9* \0", 8)) {
      // A blank after the stop: the engine's way may pass a blank after a literal, but only there.
      scan(digits + stop + " 5");  // the engine's way agrees with yylex
      use_input(digits + stop + " 5");
      ASSERT_EQ(yylex(), NUMBER) << length;
      EXPECT_TRUE(yytext == digits) << length << " " << int{stop};
      if (length <= 9) {
        EXPECT_EQ(yylval.val, static_cast<std::int32_t>(value)) << length;
      }
      if (stop != ' ') {
        EXPECT_NE(yylex(), NUMBER) << length << " " << int{stop};
      }
      EXPECT_EQ(yylex(), NUMBER);
      EXPECT_STREQ(yytext, "5");
    }
  }
}

TEST(Scanner, OnlyBlanksAndNewlinesAreWhitespace) {
  EXPECT_TRUE(scan(" \t\n \n\t").empty());
  EXPECT_EQ(scan("a = 1;\r\n").back(), (Token{'\r', "\r"}));
}

constexpr std::size_t block = scanner_read_block_size;
constexpr std::size_t buffer = scanner_initial_buffer_size;

// Tokens that straddle reads and literals far longer than the buffer.
TEST(Scanner, LongTokensGrowTheBuffer) {
  for (std::size_t length :
       {buffer - 1, buffer, buffer + 1, std::size_t{40000}, std::size_t{300000}}) {
    std::string digits(length - 2, '0');
    digits += "17";
    std::vector<Token> tokens = scan("1 " + digits + " <<=");
    ASSERT_EQ(tokens.size(), 3u) << length;
    EXPECT_EQ(tokens[1].text, digits);
    EXPECT_EQ(tokens[2].code, LSHIFT_ASSIGN);
  }
  // An operator split by a read boundary is still one token.
  for (std::size_t pad = block - 7; pad < block + 3; ++pad) {
    std::vector<Token> tokens = scan(std::string(pad, ' ') + "<<= dump");
    EXPECT_EQ(tokens, (std::vector<Token>{{LSHIFT_ASSIGN, "<<="}, {DUMP, "dump"}})) << pad;
  }
}

// Every kind of token ending one byte before, at and one byte after the end
// of a read block, of the buffer and of the buffer grown once and twice:
// last in the input, and with more input after it. A refill at any of these
// points moves the token and may grow the buffer; the token must come out
// whole, from the buffer as it is after the refill.
TEST(Scanner, TokensEndingAtEveryBufferBoundary) {
  const struct {
    std::string text;
    std::vector<Token> tokens;
  } kinds[] = {
      {"x", {{LETTER, "x"}}},
      {"dump", {{DUMP, "dump"}}},
      {"clear", {{CLEAR, "clear"}}},
      {"dum", {{LETTER, "d"}, {LETTER, "u"}, {LETTER, "m"}}},
      {"+", {{'+', "+"}}},
      {"<", {{'<', "<"}}},
      {"+=", {{ADD_ASSIGN, "+="}}},
      {"<<", {{LSHIFT, "<<"}}},
      {"<<=", {{LSHIFT_ASSIGN, "<<="}}},
      {"42", {{NUMBER, "42"}}},
  };
  for (std::size_t boundary : {block, buffer, 2 * buffer, 4 * buffer}) {
    for (std::size_t end = boundary - 1; end <= boundary + 1; ++end) {
      for (const auto& kind : kinds) {
        const std::string padded = std::string(end - kind.text.size(), ' ') + kind.text;
        EXPECT_EQ(scan(padded), kind.tokens) << kind.text << " ending at " << end;
        std::vector<Token> followed = kind.tokens;
        followed.push_back({';', ";"});
        EXPECT_EQ(scan(padded + ";"), followed) << kind.text << " ending at " << end;
        // The blank after a token, passed with it or on its own, may lie past the data read.
        EXPECT_EQ(scan(padded + " ;"), followed) << kind.text << " ending at " << end;
      }
      // A literal that is itself that long, alone and after a statement, at
      // the end of input and followed by more.
      std::string digits(end - 1, '0');
      digits += '7';
      for (const std::string& before : {std::string(), std::string("1;")}) {
        for (const std::string& after : {std::string(), std::string(";")}) {
          std::string input = before;
          input += digits;
          input += after;
          use_input(input);
          if (!before.empty()) {
            ASSERT_EQ(yylex(), NUMBER);
            ASSERT_EQ(yylex(), ';');
          }
          ASSERT_EQ(yylex(), NUMBER) << end;
          EXPECT_TRUE(yytext == digits) << "the literal's text, " << end << " digits";
          EXPECT_EQ(yylval.val, 7) << end;
          EXPECT_EQ(yylex(), after.empty() ? 0 : ';');
          EXPECT_EQ(yylex(), 0);
        }
      }
    }
  }
}

TEST(Scanner, EndOfInputRepeats) {
  use_input("1");
  EXPECT_EQ(yylex(), NUMBER);
  EXPECT_EQ(yylex(), 0);
  EXPECT_EQ(yylex(), 0);
}

}  // namespace
