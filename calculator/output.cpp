// The one way the calculator ends on a failed write to standard output.
#include "output.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

void output_failed(int cause) {
  std::fprintf(stderr, "calculator: cannot write standard output%s%s\n", cause != 0 ? ": " : "",
               cause != 0 ? std::strerror(cause) : "");
  // _Exit, not exit: exit would flush stdout and so write again after the
  // failure.
  std::_Exit(2);
}
