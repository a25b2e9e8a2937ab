// The scanner on in-memory input: longest match, keywords, literals, and
// the buffer that grows for long tokens.
#include "scanner.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "arith.hpp"
#include "engine.hpp"
#include "input_source.hpp"
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

// What a literal's value must be: its text as a signed 64-bit decimal
// conversion reads it, saturating, cut to 32 bits.
std::int32_t literal_value(const char* text) {
  return low32(std::strtoll(text, nullptr, 10));
}

// The tokens yylex finds, each literal and letter with its value; the
// engine's way must find the same columns and values.
std::vector<Token> scan(const std::string& input) {
  use_input(input);
  std::vector<Token> tokens;
  std::vector<Seen> found;
  for (int code = yylex(); code != 0; code = yylex()) {
    tokens.push_back({code, yytext});
    if (code == NUMBER) {
      EXPECT_EQ(yylval.val, literal_value(yytext)) << yytext;
    }
    if (code == LETTER) {
      EXPECT_EQ(yylval.letter, yytext[0]);
    }
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

// Any byte that starts no token stands for itself (and see TheByteAfterALetterOrALiteral).
TEST(Scanner, OtherBytesStandForThemselves) {
  EXPECT_EQ(scan("A_$"), (std::vector<Token>{{'A', "A"}, {'_', "_"}, {'$', "$"}}));
}

constexpr std::size_t block = input_read_block_size;
constexpr std::size_t buffer = input_initial_buffer_size;

// The byte after a letter or a literal ends it, and the engine's way passes
// it there without a branch when it is a blank: every blank, the other
// control bytes, NUL, high bytes, an operator and the bytes one bit or one
// nibble from a digit, after letters (those that may start a keyword too),
// after literals of every length the word reads treat apart (the stop byte
// at every place of the first three words, 19 and 20 digits), and after
// ';', where no blank is passed; the token ending inside the data read, and
// where the read ends, its next byte still to come.
TEST(Scanner, TheByteAfterALetterOrALiteral) {
  const struct {
    char byte;
    std::vector<Token> tokens;
  } follows[] = {
      {' ', {}},
      {'\t', {}},
      {'\n', {}},
      {'\r', {{'\r', "\r"}}},
      {'\f', {{'\f', "\f"}}},
      {'\v', {{'\v', "\v"}}},
      {'\0', {{NUL_BYTE, ""}}},
      {'\x80', {{0x80, "\x80"}}},
      {'\xff', {{0xff, "\xff"}}},
      {'+', {{'+', "+"}}},
      {'/', {{'/', "/"}}},
      {':', {{':', ":"}}},
      {'p', {{LETTER, "p"}}},
      {'\xb0', {{0xb0, "\xb0"}}},
      {'\xb9', {{0xb9, "\xb9"}}},
  };
  std::vector<Token> befores = {{LETTER, "a"}, {LETTER, "d"}, {LETTER, "c"}, {';', ";"}};
  for (std::size_t length = 1; length <= 24; ++length) {
    std::string digits;
    for (std::size_t i = 0; i < length; ++i) digits += static_cast<char>('1' + i % 9);
    befores.push_back({NUMBER, digits});
  }
  for (const Token& before : befores) {
    for (const auto& follow : follows) {
      SCOPED_TRACE(before.text + " then byte " + std::to_string(int{follow.byte}));
      std::vector<Token> expected{before};
      expected.insert(expected.end(), follow.tokens.begin(), follow.tokens.end());
      expected.push_back({NUMBER, "7"});
      const std::string text = before.text + follow.byte + "7";
      std::vector<std::string> inputs{text};
      // The token ends where the first read ends; its next byte comes with the next read.
      if (before.text.size() <= block)
        inputs.push_back(std::string(block - before.text.size(), ' ') + text);
      for (const std::string& input : inputs) {
        SCOPED_TRACE(input == text ? "inside the data read" : "ending a read");
        EXPECT_EQ(scan(input), expected);
      }
    }
  }
  EXPECT_TRUE(scan(" \t\n \n\t").empty());
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
