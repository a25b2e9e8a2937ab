// yylex: turns standard input into tokens, longest match first.
//
// Input model: at a terminal the scanner reads one line at a time, so every
// statement is answered as soon as its line is entered; otherwise it reads
// blocks of up to 8192 bytes, each read waiting until the block is full or
// the input has ended. The buffer starts at 16384 bytes and doubles whenever
// the token being read fills it, so a literal of any length is read whole.
// Past the data sit two NUL end markers; the scanner refills only when a rule
// needs a byte beyond what has been read, which is what keeps it from
// blocking on the next line before answering the current one.
#include "scanner.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "arith.hpp"
#include "tokens.hpp"

ReadFunction scanner_read = ::read;
TerminalTest scanner_isatty = ::isatty;
SemValue yylval;
char* yytext;

namespace {

constexpr std::size_t initial_buffer_size = 16384;
constexpr std::size_t max_read = 8192;

struct InputBuffer {
  char* text;        // size bytes of room for data, then two end markers
  std::size_t size;  // room for data
  char* end;         // one past the last byte read
  bool input_ended;  // a read has returned end of input; never read again
};

InputBuffer** buffer_stack;  // the list of input buffers; standard input is the only one
InputBuffer* input;
bool interactive;
char* cursor;                // next byte to scan
char empty_text[1];          // yytext before the first token and at end of input
char* held_at = empty_text;  // where yytext's terminating NUL was written
char held_byte;              // the byte that NUL replaced

[[noreturn]] void fatal(const char* message) {
  std::fputs(message, stderr);
  std::fputc('\n', stderr);
  std::exit(2);
}

void start_scanning() {
  // The list holds pointers to buffer records, one slot.
  // NOLINTNEXTLINE(bugprone-sizeof-expression)
  buffer_stack = static_cast<InputBuffer**>(std::malloc(sizeof(InputBuffer*)));
  if (buffer_stack == nullptr) fatal("out of dynamic memory in yyensure_buffer_stack()");
  input = static_cast<InputBuffer*>(std::malloc(sizeof(InputBuffer)));
  if (input == nullptr) fatal("out of dynamic memory in yy_create_buffer()");
  input->text = static_cast<char*>(std::malloc(initial_buffer_size + 2));
  if (input->text == nullptr) fatal("out of dynamic memory in yy_create_buffer()");
  buffer_stack[0] = input;
  input->size = initial_buffer_size;
  input->end = input->text;
  input->end[0] = input->end[1] = '\0';
  input->input_ended = false;
  cursor = input->text;
  interactive = scanner_isatty(fileno(stdin)) != 0;
}

// One line, read a byte at a time. At a terminal every read error is fatal.
std::size_t read_line(char* into, std::size_t room) {
  std::size_t got = 0;
  while (got < room) {
    char c;
    ssize_t n = scanner_read(STDIN_FILENO, &c, 1);
    if (n < 0) fatal("input in flex scanner failed");
    if (n == 0) {
      input->input_ended = true;
      break;
    }
    into[got++] = c;
    if (c == '\n') break;
  }
  return got;
}

// A block: waits until `room` bytes or the end of input have arrived. An
// interrupted read is retried.
std::size_t read_block(char* into, std::size_t room) {
  std::size_t got = 0;
  while (got < room) {
    ssize_t n = scanner_read(STDIN_FILENO, into + got, room - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
    } else if (n == 0) {
      input->input_ended = true;
      break;
    } else if (errno != EINTR) {
      fatal("input in flex scanner failed");
    }
  }
  return got;
}

// Reads more input after the token that starts at `token`, first moving that
// token to the front of the buffer and doubling the buffer if the token fills
// it. Returns false at end of input. `token` follows the move.
bool refill(char*& token) {
  if (input->input_ended) return false;
  std::size_t keep = static_cast<std::size_t>(input->end - token);
  if (token != input->text) std::memmove(input->text, token, keep);
  if (keep + 1 >= input->size) {
    std::size_t doubled = input->size * 2;
    char* grown = doubled > input->size ? static_cast<char*>(std::realloc(input->text, doubled + 2))
                                        : nullptr;
    if (grown == nullptr) fatal("fatal error - scanner input buffer overflow");
    input->text = grown;
    input->size = doubled;
  }
  token = input->text;
  char* into = input->text + keep;
  std::size_t room = std::min(input->size - keep - 1, max_read);
  std::size_t got = interactive ? read_line(into, room) : read_block(into, room);
  input->end = into + got;
  input->end[0] = input->end[1] = '\0';
  if (got == 0) return yywrap() == 0 && refill(token);
  return true;
}

// The byte at token[k], reading more input when it lies beyond what has been
// read; -1 at end of input.
int byte_at(char*& token, std::size_t k) {
  while (token + k >= input->end)
    if (!refill(token)) return -1;
  return static_cast<unsigned char>(token[k]);
}

int emit(char* token, std::size_t length, int code) {
  cursor = token + length;
  held_at = cursor;
  held_byte = *cursor;
  *cursor = '\0';
  yytext = token;
  return code;
}

// "c=" is the compound assignment `assigned`, a lone "c" the character itself.
int with_optional_equals(char*& token, int assigned) {
  return byte_at(token, 1) == '=' ? emit(token, 2, assigned) : emit(token, 1, *token);
}

// "<<=" / "<<" / "<" and the same for '>'.
int shift_or_compare(char*& token, int shift, int shift_assign) {
  if (byte_at(token, 1) != *token) return emit(token, 1, *token);
  return byte_at(token, 2) == '=' ? emit(token, 3, shift_assign) : emit(token, 2, shift);
}

bool keyword_follows(char*& token, const char* word) {
  for (std::size_t k = 1; word[k] != '\0'; ++k)
    if (byte_at(token, k) != word[k]) return false;
  return true;
}

int letter(char* token) {
  yylval.letter = *token;
  return emit(token, 1, LETTER);
}

// The value of a run of digits as a signed 64-bit decimal conversion gives
// it: exact up to the largest 64-bit value, saturating beyond.
std::int64_t decimal_value(const char* digits, std::size_t count) {
  std::size_t i = 0;
  while (i < count && digits[i] == '0') ++i;
  if (count - i > 19) return INT64_MAX;
  std::uint64_t value = 0;
  for (; i < count; ++i) value = value * 10 + static_cast<std::uint64_t>(digits[i] - '0');
  return value > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX
                                                       : static_cast<std::int64_t>(value);
}

int number(char*& token) {
  std::size_t length = 1;
  for (int c = byte_at(token, 1); c >= '0' && c <= '9'; c = byte_at(token, length)) ++length;
  yylval.val = low32(chk(decimal_value(token, length)));
  return emit(token, length, NUMBER);
}

int end_of_input() {
  held_at = empty_text;
  held_byte = '\0';
  yytext = empty_text;
  return 0;
}

}  // namespace

int yywrap() {
  return 1;
}

int yylex() {
  if (input == nullptr) start_scanning();
  *held_at = held_byte;
  for (;;) {
    char* token = cursor;
    switch (static_cast<unsigned char>(*token)) {
      case ' ':
      case '\t':
      case '\n': cursor = token + 1; continue;
      case '\0':
        if (token < input->end) return emit(token, 1, NUL_BYTE);
        if (!refill(token)) return end_of_input();
        cursor = token;
        continue;
      case '<': return shift_or_compare(token, LSHIFT, LSHIFT_ASSIGN);
      case '>': return shift_or_compare(token, RSHIFT, RSHIFT_ASSIGN);
      case '+': return with_optional_equals(token, ADD_ASSIGN);
      case '-': return with_optional_equals(token, SUB_ASSIGN);
      case '*': return with_optional_equals(token, MUL_ASSIGN);
      case '/': return with_optional_equals(token, DIV_ASSIGN);
      case '%': return with_optional_equals(token, MOD_ASSIGN);
      case '&': return with_optional_equals(token, AND_ASSIGN);
      case '|': return with_optional_equals(token, OR_ASSIGN);
      case '^': return with_optional_equals(token, XOR_ASSIGN);
      case 'd': return keyword_follows(token, "dump") ? emit(token, 4, DUMP) : letter(token);
      case 'c': return keyword_follows(token, "clear") ? emit(token, 5, CLEAR) : letter(token);
      case '0':
      case '1':
      case '2':
      case '3':
      case '4':
      case '5':
      case '6':
      case '7':
      case '8':
      case '9': return number(token);
      default:
        if (*token >= 'a' && *token <= 'z') return letter(token);
        // Any other byte stands for itself; bytes of 0x80 and above keep
        // their unsigned value, so none of them can read as end of input.
        return emit(token, 1, static_cast<unsigned char>(*token));
    }
  }
}

void scanner_reset() {
  if (input != nullptr) std::free(input->text);
  std::free(input);
  std::free(buffer_stack);
  input = nullptr;
  buffer_stack = nullptr;
  held_at = empty_text;
  held_byte = '\0';
  yytext = empty_text;
}
