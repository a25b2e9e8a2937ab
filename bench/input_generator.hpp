// Seeded, realistic calculator input for benchmarks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// About `bytes` bytes of statements (never a syntax error, about 1% faults),
// the same for the same seed. With a sink the text is written there as it is
// made and the result is empty; without one it is returned.
std::string generate_input(std::uint64_t bytes, std::uint64_t seed, std::FILE* sink = nullptr);
