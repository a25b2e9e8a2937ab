// yylex: turns standard input into tokens, longest match first.
//
// The input is read into a buffer (input_buffer.cpp) with two NUL end
// markers after the data. The scanner refills only when a rule needs a byte
// beyond what has been read, which is what keeps it from blocking on the
// next line before answering the current one.
#include "scanner.hpp"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "arith.hpp"
#include "digits.hpp"
#include "engine.hpp"
#include "input_buffer.hpp"
#include "platform.hpp"
#include "tokens.hpp"

SemValue yylval;
char* yytext;

using scanner_input::input;

namespace {

char empty_text[1];  // yytext at end of input

// Where yylex goes on: the offset of the next byte to scan, where yytext's
// terminating NUL stands, and the byte that NUL replaced, put back when the
// next scan starts. An offset, so that it stays true when a refill moves the
// buffer; before the first scan, the buffer's end markers.
std::size_t next_byte;
char held_byte;

// The token being scanned: while it scans, the scanner's only view of the
// input buffer. Its position is private. A refill moves the token's bytes to
// the front of the buffer, and may move the buffer itself, and updates the
// Token in hand; a Token cannot be copied, every scanning step works on the
// one in hand, and it hands out no pointer (only emit, which ends the scan,
// makes one, for yytext), so no position in the buffer can outlive a
// refill. Past the data stand the end markers (NUL), and eight bytes may be
// read at any position up to them.
class Token {
 public:
  Token(const Token&) = delete;
  Token& operator=(const Token&) = delete;

  // The token that starts at the next unscanned byte.
  static Token at_next_byte() { return Token(input.text + next_byte); }

  unsigned char operator[](std::size_t k) const { return static_cast<unsigned char>(start_[k]); }
  // token[k..k+8) as one word, first byte lowest.
  std::uint64_t eight_bytes(std::size_t k) const {
    return platform::load_first_byte_lowest(start_ + k);
  }
  // Whether token[k] lies beyond the data read so far (at an end marker or past it).
  bool past_data(std::size_t k) const { return start_ + k >= input.text + input.end; }
  // The token starts k bytes later: the bytes before were blanks.
  void skip(std::size_t k) { start_ += k; }
  // Reads more input after the token (refill_buffer); false at end of input.
  // The token's offset goes to the refill and comes back by value, so that
  // the token stays in a register while it is scanned. Where the refill
  // finds the input ended, yywrap says whether more follows; if it does, the
  // refill is asked once more.
  [[gnu::always_inline]] bool refill() {
    scanner_input::Refilled refilled =
        scanner_input::refill_buffer(static_cast<std::size_t>(start_ - input.text));
    if (!refilled.more && yywrap() == 0) refilled = scanner_input::refill_buffer(refilled.at);
    start_ = input.text + refilled.at;
    return refilled.more;
  }

 private:
  explicit Token(char* start) : start_(start) {}
  // Where the token starts, as the last refill left the buffer; once emit
  // has ended the scan, the byte after it, where scanning goes on.
  char* start_;
  template <class For>
  friend auto emit(Token& token, std::size_t length, int code);
  template <class For>
  friend auto end_of_input(Token& token);
  friend class ::ScanPosition;
};

// Blanks separate tokens: ' ', '\t' and '\n', tested as bits of one
// constant, with no table load.
constexpr bool is_blank(unsigned char byte) {
  constexpr std::uint64_t blanks = (1ULL << ' ') | (1ULL << '\t') | (1ULL << '\n');
  return ((blanks >> (byte & 63U)) & static_cast<std::uint64_t>(byte <= ' ')) != 0;
}

// token[k], reading more input when it lies beyond what has been read; -1 at
// end of input. token[0..k) must be data, none of it NUL, so that token[k]
// is at worst an end marker.
[[gnu::always_inline]] inline int peek(Token& token, std::size_t k) {
  if (const unsigned char byte = token[k]; byte != 0) return byte;
  while (token.past_data(k))
    if (!token.refill()) return -1;
  return token[k];
}

// Who a scan is for. yylex hands out the token's code, and the token as
// yytext. The engine (ScanPosition) keeps the position itself and needs no
// yytext; it takes the code's column in the parse tables, which each case
// of the scan knows as a constant, so that the engine's dispatch on it need
// not wait for a table lookup.
struct ForYylex {
  static constexpr bool keeps_yytext = true;
  static constexpr int handed_out(int code) { return code; }
};
struct ForEngine {
  static constexpr bool keeps_yytext = false;
  static constexpr std::size_t handed_out(int code) {
    return static_cast<std::size_t>(engine::token_column(code));
  }
};

// Ends the scan: the token is its first `length` bytes, and scanning goes on
// after them. For yylex the token is handed out as yytext, NUL-terminated in
// place, and its place is kept in the record; the byte the NUL replaced is
// put back when the next scan starts.
template <class For>
[[gnu::always_inline]] inline auto emit(Token& token, std::size_t length, int code) {
  char* const text = token.start_;
  token.start_ += length;
  if constexpr (For::keeps_yytext) {
    next_byte = static_cast<std::size_t>(text - input.text) + length;
    held_byte = text[length];
    text[length] = '\0';
    yytext = text;
  }
  return For::handed_out(code);
}

// The token stands at the end markers, empty.
template <class For>
auto end_of_input(Token& token) {
  token.start_ = input.text + input.end;
  next_byte = input.end;
  held_byte = '\0';  // the end marker there stays NUL
  yytext = empty_text;
  return For::handed_out(0);
}

// An operator that may be followed by '=': alone, or the compound assignment.
template <class For>
[[gnu::always_inline]] inline auto operator_or_assignment(Token& token, int alone, int assignment) {
  return peek(token, 1) == '=' ? emit<For>(token, 2, assignment) : emit<For>(token, 1, alone);
}

// "<<=" / "<<" / "<" and the same for '>'.
template <class For>
auto shift_or_compare(Token& token, int angle, int shift, int shift_assign) {
  if (peek(token, 1) != angle) return emit<For>(token, 1, angle);
  return peek(token, 2) == '=' ? emit<For>(token, 3, shift_assign) : emit<For>(token, 2, shift);
}

// Ends the scan like emit, and for the engine also passes one blank after
// the token without a branch, `after` being the byte that follows it. Used
// after a letter and a literal, which input follows with a blank about as
// often as not: there a branch is mispredicted, and costs more than the
// wait for the blank test that the next position now has, except on input
// so regular that the predictor learns it. Not after operators, ')' and
// '=': input spaced in one style puts their blanks where the branch
// predicts them, so that the wait costs more than it saves; it pays only
// where blanks are placed at random. yylex keeps the blank: its token ends
// in a NUL written over the byte after it.
template <class For>
[[gnu::always_inline]] inline auto emit_passing_blank(Token& token, std::size_t length, int code,
                                                      unsigned char after) {
  const auto handed_out = emit<For>(token, length, code);
  if constexpr (!For::keeps_yytext) token.skip(static_cast<std::size_t>(is_blank(after)));
  return handed_out;
}

template <class For>
auto letter(Token& token, SemValue& value) {
  value.letter = static_cast<char>(token[0]);
  return emit_passing_blank<For>(token, 1, LETTER, token[1]);
}

// The keyword `word` where it stands whole, else its first letter.
template <class For>
auto keyword_or_letter(Token& token, SemValue& value, std::string_view word, int keyword) {
  for (std::size_t k = 1; k < word.size(); ++k)
    if (peek(token, k) != static_cast<unsigned char>(word[k])) return letter<For>(token, value);
  return emit<For>(token, word.size(), keyword);
}

// The value of the token's first `count` bytes, all digits, as a signed
// 64-bit decimal conversion gives it: exact up to the largest 64-bit value,
// saturating beyond.
std::int64_t decimal_value(const Token& token, std::size_t count) {
  std::size_t i = 0;
  while (i < count && token[i] == '0') ++i;
  if (count - i > 19) return INT64_MAX;
  std::uint64_t value = 0;
  for (; i < count; ++i) value = value * 10 + static_cast<std::uint64_t>(token[i] - '0');
  return value > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX
                                                       : static_cast<std::int64_t>(value);
}

// Digits are scanned and converted eight at a time; a literal of more than
// 19 digits, which may overflow 64 bits, is converted again with saturation.
template <class For>
auto number(Token& token, SemValue& value) {
  // Most literals have fewer than eight digits and end inside the data read:
  // one word holds them. Only a NUL after the digits can be an end marker.
  const std::uint64_t first = token.eight_bytes(0);
  if (const unsigned run = digits::run(first); run < 8) {
    if (const auto after = static_cast<unsigned char>(first >> (8 * run));
        after != 0 || !token.past_data(run)) {
      value.val = low32(chk(static_cast<std::int64_t>(digits::value(first, run))));
      return emit_passing_blank<For>(token, run, NUMBER, after);
    }
  }
  std::size_t length = 0;
  std::uint64_t sum = 0;
  for (;;) {
    const std::uint64_t word = token.eight_bytes(length);
    const unsigned run = digits::run(word);
    if (run > 0 && length + run <= 19)
      sum = sum * digits::powers_of_ten[run] + digits::value(word, run);
    length += run;
    if (run == 8) continue;
    // The run stopped at token[length]; at the end markers, read on.
    if (!token.past_data(length) || !token.refill()) break;
  }
  const std::int64_t exact =
      length > 19 ? decimal_value(token, length)
                  : static_cast<std::int64_t>(std::min<std::uint64_t>(sum, INT64_MAX));
  value.val = low32(chk(exact));
  return emit<For>(token, length, NUMBER);
}

// Scans the token in hand, for yylex and for the engine alike: skips the
// blanks before it, then one case per byte that can start a token, so that
// the jump taken already names the kind of token. A literal or a letter
// leaves its value in `value`.
template <class For>
[[gnu::always_inline]] inline auto scan(Token& token, SemValue& value) {
  for (;;) {
    // Blanks are passed by a branch: where it is predicted, the loads of the
    // token after them start at once, instead of waiting for the blank test
    // that an arithmetic skip would chain each position to (but see
    // emit_passing_blank). A byte above ' ' starts a token, so most bytes
    // take one comparison.
    unsigned char byte = token[0];
    while (byte <= ' ' && is_blank(byte)) {
      token.skip(1);
      byte = token[0];
    }
    switch (byte) {
      case '+': return operator_or_assignment<For>(token, '+', ADD_ASSIGN);
      case '-': return operator_or_assignment<For>(token, '-', SUB_ASSIGN);
      case '*': return operator_or_assignment<For>(token, '*', MUL_ASSIGN);
      case '/': return operator_or_assignment<For>(token, '/', DIV_ASSIGN);
      case '%': return operator_or_assignment<For>(token, '%', MOD_ASSIGN);
      case '&': return operator_or_assignment<For>(token, '&', AND_ASSIGN);
      case '|': return operator_or_assignment<For>(token, '|', OR_ASSIGN);
      case '^': return operator_or_assignment<For>(token, '^', XOR_ASSIGN);
      case '<': return shift_or_compare<For>(token, '<', LSHIFT, LSHIFT_ASSIGN);
      case '>': return shift_or_compare<For>(token, '>', RSHIFT, RSHIFT_ASSIGN);
      case '0':
      case '1':
      case '2':
      case '3':
      case '4':
      case '5':
      case '6':
      case '7':
      case '8':
      case '9': return number<For>(token, value);
      case 'd': return keyword_or_letter<For>(token, value, "dump", DUMP);
      case 'c': return keyword_or_letter<For>(token, value, "clear", CLEAR);
      case 'a':
      case 'b':
      case 'e':
      case 'f':
      case 'g':
      case 'h':
      case 'i':
      case 'j':
      case 'k':
      case 'l':
      case 'm':
      case 'n':
      case 'o':
      case 'p':
      case 'q':
      case 'r':
      case 's':
      case 't':
      case 'u':
      case 'v':
      case 'w':
      case 'x':
      case 'y':
      case 'z': return letter<For>(token, value);
      case '\0':
        if (!token.past_data(0)) return emit<For>(token, 1, NUL_BYTE);
        if (!token.refill()) return end_of_input<For>(token);
        continue;
      // The grammar's other one-byte tokens, each in a case of its own, so
      // that its code is a constant there.
      case '(': return emit<For>(token, 1, '(');
      case ')': return emit<For>(token, 1, ')');
      case ';': return emit<For>(token, 1, ';');
      case '=': return emit<For>(token, 1, '=');
      case '~': return emit<For>(token, 1, '~');
      default:
        // Any other byte stands for itself; bytes of 0x80 and above keep
        // their unsigned value, so none of them can read as end of input.
        return emit<For>(token, 1, byte);
    }
  }
}

}  // namespace

int yylex() {
  Token token = Token::at_next_byte();
  input.text[next_byte] = held_byte;
  return scan<ForYylex>(token, yylval);
}

ScanPosition::ScanPosition() {
  // The buffer as it was read: yylex's NUL goes, and its byte stays held, so
  // that handing the position back and scanning on with yylex is the same.
  input.text[next_byte] = held_byte;
  at_ = input.text + next_byte;
}

std::size_t ScanPosition::next_column() {
  Token token(at_);
  const std::size_t column = scan<ForEngine>(token, value_);
  at_ = token.start_;
  return column;
}

void ScanPosition::hand_back() {
  next_byte = static_cast<std::size_t>(at_ - input.text);
  held_byte = *at_;
}

void scanner_reset() {
  scanner_input::reset_input();
  next_byte = 0;
  held_byte = '\0';
  yytext = empty_text;
}
