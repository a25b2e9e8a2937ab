#include "memory_input.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "arith.hpp"
#include "input_source.hpp"
#include "scanner.hpp"

namespace {

FakeInput input;
std::size_t position;
int reads;

ssize_t read_fake(int, void* into, std::size_t count) {
  ++reads;
  const bool at_end = position == input.text.size();
  if ((input.failing == FakeInput::Failing::every_other_read && reads % 2 == 1) ||
      (input.failing == FakeInput::Failing::after_the_text && at_end)) {
    errno = input.failure;
    return -1;
  }
  const std::size_t n = std::min({count, input.text.size() - position, input.most_per_read});
  std::memcpy(into, input.text.data() + position, n);
  position += n;
  return static_cast<ssize_t>(n);
}

int is_terminal(int) {
  return input.terminal ? 1 : 0;
}

}  // namespace

void use_input(FakeInput fake) {
  input = std::move(fake);
  position = 0;
  reads = 0;
  input_read = read_fake;
  input_isatty = is_terminal;
  scanner_reset();
  arith_reset();
}

int input_reads() {
  return reads;
}
