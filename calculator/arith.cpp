// State of the checked arithmetic: the variable store and the fault flags.
#include "arith.hpp"

#include <algorithm>
#include <iterator>

std::int32_t id[26];
int error;
int overflow;
int dividebyzero;

void arith_reset() {
  std::fill(std::begin(id), std::end(id), 0);
  error = overflow = dividebyzero = 0;
}
