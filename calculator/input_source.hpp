// Where the calculator's input comes from, and in what sizes the input
// buffer (input_buffer.cpp) takes it: the build's buffer sizes and the read
// and terminal hooks. Apart from the buffer's internals, so that tests, the
// fuzzer and the benchmarks can read the sizes and swap in their own input.
#pragma once

#include <sys/types.h>

#include <cstddef>

// The input buffer's first size and the most bytes one read asks for, both
// set when the program is built (CMake CALC_INPUT_BUFFER_SIZE and
// CALC_READ_BLOCK_SIZE; 16384 and 8192 unless changed). The buffer doubles
// for a token that fills it, so the sizes change only how often the scanner
// refills and grows, never which tokens it finds.
#ifndef CALC_INPUT_BUFFER_SIZE
#define CALC_INPUT_BUFFER_SIZE 16384
#endif
#ifndef CALC_READ_BLOCK_SIZE
#define CALC_READ_BLOCK_SIZE 8192
#endif
inline constexpr std::size_t input_initial_buffer_size = CALC_INPUT_BUFFER_SIZE;
inline constexpr std::size_t input_read_block_size = CALC_READ_BLOCK_SIZE;
static_assert(input_initial_buffer_size >= 2,
              "the buffer holds at least a byte of a token and a byte read");
static_assert(input_read_block_size >= 1, "a read asks for at least one byte");

// How the input buffer reads standard input. Tests and the fuzzer swap in
// reads that fail or that serve bytes from memory; the program keeps ::read.
using ReadFunction = ssize_t (*)(int fd, void* buffer, std::size_t count);
extern ReadFunction input_read;
// Whether standard input counts as a terminal; asked at the first refill.
using TerminalTest = int (*)(int fd);
extern TerminalTest input_isatty;
