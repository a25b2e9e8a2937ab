// Runs the calculator's scanner and parser in-process on text held in memory.
#pragma once

#include <string>

// Resets the scanner, the variables and the flags, and makes `text` the whole
// of standard input (not a terminal).
void use_input(std::string text);
