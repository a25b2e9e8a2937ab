// Runs the calculator's scanner and parser in-process on text held in memory,
// read the way the test asks: all at once or a few bytes a read, from a
// terminal or not, with reads that fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct FakeInput {
  enum class Failing { never, every_other_read, after_the_text };
  std::string text;
  bool terminal = false;
  std::size_t most_per_read = SIZE_MAX;
  Failing failing = Failing::never;
  int failure = 0;  // errno of a failing read
};

// Resets the scanner, the variables and the flags, and makes `input` the
// whole of standard input.
void use_input(FakeInput input);
inline void use_input(std::string text) {
  use_input(FakeInput{.text = std::move(text)});
}
// Reads the scanner has made since use_input, failed ones included.
int input_reads();
