// Seeded random calculator programs for differential testing: every
// operator, compound assignments and chains, parentheses, unary '-' and '~',
// literals near the 32- and 64-bit edges and very long ones, dump and clear,
// odd whitespace, deep nesting around the parse stack limit, and now and
// then a syntax error or an unexpected byte.
#pragma once

#include <cstdint>
#include <string>

std::string random_program(std::uint64_t seed);
