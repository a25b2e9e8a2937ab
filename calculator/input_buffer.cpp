// The scanner's input buffer: reading standard input into it, growing it,
// and the fatal errors of reading.
//
// At a terminal the buffer takes one line at a time, so every statement is
// answered as soon as its line is entered; otherwise it reads blocks of up
// to input_read_block_size bytes, each read waiting until the block is full
// or the input has ended. The buffer starts at input_initial_buffer_size
// bytes and doubles whenever the token being read fills it, so a literal of
// any length is read whole. Past the data sit two NUL end markers.
#include "input_buffer.hpp"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "input_source.hpp"

ReadFunction input_read = ::read;
TerminalTest input_isatty = ::isatty;

namespace scanner_input {
namespace {

// Build settings (input_source.hpp); tiny values in the sanitizer and fuzz
// builds make every small input cross refills and growths.
constexpr std::size_t initial_buffer_size = input_initial_buffer_size;
constexpr std::size_t read_block_size = input_read_block_size;
constexpr std::size_t allocation(std::size_t size) {
  return size + 2 + scan_slack;
}

char unstarted[2 + scan_slack];
constexpr InputBuffer before_the_first_scan() {
  return InputBuffer{unstarted, 0, 0, false, false};
}
InputBuffer** buffer_stack;  // the list of input buffers; standard input is the only one
bool interactive;

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
  input.text = static_cast<char*>(std::calloc(allocation(initial_buffer_size), 1));
  if (input.text == nullptr) fatal("out of dynamic memory in yy_create_buffer()");
  buffer_stack[0] = &input;
  input.size = initial_buffer_size;
  input.end = 0;
  input.text[0] = input.text[1] = '\0';
  input.input_ended = false;
  input.read_failed = false;
  interactive = input_isatty(fileno(stdin)) != 0;
}

[[noreturn]] void input_failed() {
  fatal("input in flex scanner failed");
}

// One line, read a byte at a time. At a terminal every read error is fatal.
std::size_t read_line(char* into, std::size_t room) {
  std::size_t got = 0;
  while (got < room) {
    char ch;
    ssize_t n = input_read(STDIN_FILENO, &ch, 1);
    if (n < 0) {
      if (got == 0) input_failed();
      input.read_failed = true;
      break;
    }
    if (n == 0) {
      input.input_ended = true;
      break;
    }
    into[got++] = ch;
    if (ch == '\n') break;
  }
  return got;
}

// A block: waits until `room` bytes or the end of input have arrived. An
// interrupted read is retried.
std::size_t read_block(char* into, std::size_t room) {
  std::size_t got = 0;
  while (got < room) {
    ssize_t n = input_read(STDIN_FILENO, into + got, room - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
    } else if (n == 0) {
      input.input_ended = true;
      break;
    } else if (errno != EINTR) {
      if (got == 0) input_failed();
      input.read_failed = true;
      break;
    }
  }
  return got;
}

}  // namespace

InputBuffer input = before_the_first_scan();

Refilled refill_buffer(std::size_t token_at) {
  if (input.text == unstarted) start_scanning();
  if (input.input_ended) return {token_at, false};
  if (input.read_failed) input_failed();
  const std::size_t keep = input.end - token_at;
  // A token that already starts the buffer (a long literal, read on and on)
  // stays where it is.
  if (token_at != 0) std::memmove(input.text, input.text + token_at, keep);
  if (keep + 1 >= input.size) {
    std::size_t doubled = input.size * 2;
    char* grown = doubled > input.size
                      ? static_cast<char*>(std::realloc(input.text, allocation(doubled)))
                      : nullptr;
    if (grown == nullptr) fatal("fatal error - scanner input buffer overflow");
    std::memset(grown + allocation(input.size), 0, doubled - input.size);
    input.text = grown;
    input.size = doubled;
  }
  char* into = input.text + keep;
  const std::size_t room = std::min(input.size - keep - 1, read_block_size);
  const std::size_t got = interactive ? read_line(into, room) : read_block(into, room);
  input.end = keep + got;
  into[got] = into[got + 1] = '\0';
  return {0, got != 0};
}

void reset_input() {
  if (input.text != unstarted) std::free(input.text);
  std::free(buffer_stack);
  input = before_the_first_scan();
  buffer_stack = nullptr;
}

}  // namespace scanner_input
