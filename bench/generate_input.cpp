// generate_input: seeded, realistic calculator input of a given size.
//
//   generate_input BYTES [SEED [PATTERN_BYTES]] > file
//
// With PATTERN_BYTES, about that many bytes of input are generated and then
// repeated up to BYTES: the same work per byte as the full input, but a token
// stream the processor's branch predictors can learn.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/input_generator.hpp"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: generate_input BYTES [SEED [PATTERN_BYTES]]\n", stderr);
    return 2;
  }
  const std::uint64_t bytes = std::strtoull(argv[1], nullptr, 10);
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  if (argc > 3) {
    std::string pattern = generate_input(std::strtoull(argv[3], nullptr, 10), seed);
    const std::size_t last_statement_end = pattern.rfind(';');
    if (last_statement_end == std::string::npos) return 2;
    pattern.resize(last_statement_end + 1);
    pattern += '\n';
    for (std::uint64_t written = 0; written < bytes; written += pattern.size())
      std::fwrite(pattern.data(), 1, pattern.size(), stdout);
  } else {
    generate_input(bytes, seed, stdout);
  }
  return std::fclose(stdout) == 0 ? 0 : 1;
}
