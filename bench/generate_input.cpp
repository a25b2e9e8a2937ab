// generate_input: seeded, realistic calculator input of a given size.
//
//   generate_input BYTES [SEED] > file
#include <cstdio>
#include <cstdlib>

#include "input_generator.hpp"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: generate_input BYTES [SEED]\n", stderr);
    return 2;
  }
  generate_input(std::strtoull(argv[1], nullptr, 10),
                 argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1, stdout);
  return std::fclose(stdout) == 0 ? 0 : 1;
}
