// The token scanner's own interface beyond yylex (see tokens.hpp).
#pragma once

#include <sys/types.h>

#include <cstddef>

// How the scanner reads standard input. Tests and the fuzzer swap in reads
// that fail or that serve bytes from memory; the program keeps ::read.
using ReadFunction = ssize_t (*)(int fd, void* buffer, std::size_t count);
extern ReadFunction scanner_read;
// Whether standard input counts as a terminal; decided on the first scan.
using TerminalTest = int (*)(int fd);
extern TerminalTest scanner_isatty;

// Drops all input state, so that the next yylex starts on fresh input.
void scanner_reset();
