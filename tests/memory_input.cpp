#include "memory_input.hpp"

#include <algorithm>
#include <cstring>

#include "arith.hpp"
#include "scanner.hpp"

namespace {

std::string source;
std::size_t position;

ssize_t read_memory(int, void* into, std::size_t count) {
  std::size_t n = std::min(count, source.size() - position);
  std::memcpy(into, source.data() + position, n);
  position += n;
  return static_cast<ssize_t>(n);
}

int never_a_terminal(int) {
  return 0;
}

}  // namespace

void use_input(std::string text) {
  source = std::move(text);
  position = 0;
  scanner_read = read_memory;
  scanner_isatty = never_a_terminal;
  scanner_reset();
  arith_reset();
}
