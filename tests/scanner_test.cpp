// The scanner on in-memory input: longest match, keywords, literals, and
// the buffer that grows for long tokens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arith.hpp"
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

std::vector<Token> scan(const std::string& input) {
  use_input(input);
  std::vector<Token> tokens;
  for (int code = yylex(); code != 0; code = yylex()) tokens.push_back({code, yytext});
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

TEST(Scanner, OnlyBlanksAndNewlinesAreWhitespace) {
  EXPECT_TRUE(scan(" \t\n \n\t").empty());
  EXPECT_EQ(scan("a = 1;\r\n").back(), (Token{'\r', "\r"}));
}

// Tokens that straddle reads and literals far longer than the buffer.
TEST(Scanner, LongTokensGrowTheBuffer) {
  for (std::size_t length : {16383u, 16384u, 16385u, 40000u, 300000u}) {
    std::string digits(length - 2, '0');
    digits += "17";
    std::vector<Token> tokens = scan("1 " + digits + " <<=");
    ASSERT_EQ(tokens.size(), 3u) << length;
    EXPECT_EQ(tokens[1].text, digits);
    EXPECT_EQ(tokens[2].code, LSHIFT_ASSIGN);
  }
  // An operator split by the 8192-byte read boundary is still one token.
  for (std::size_t pad = 8185; pad < 8195; ++pad) {
    std::vector<Token> tokens = scan(std::string(pad, ' ') + "<<= dump");
    EXPECT_EQ(tokens, (std::vector<Token>{{LSHIFT_ASSIGN, "<<="}, {DUMP, "dump"}})) << pad;
  }
}

TEST(Scanner, EndOfInputRepeats) {
  use_input("1");
  EXPECT_EQ(yylex(), NUMBER);
  EXPECT_EQ(yylex(), 0);
  EXPECT_EQ(yylex(), 0);
}

}  // namespace
