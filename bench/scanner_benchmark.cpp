// The scanner alone on in-memory input: every token of a generated text.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "arith.hpp"
#include "bench/input_generator.hpp"
#include "input_source.hpp"
#include "scanner.hpp"
#include "tokens.hpp"

namespace {

std::string text;
std::size_t position;

ssize_t read_memory(int, void* into, std::size_t count) {
  const std::size_t n = std::min(count, text.size() - position);
  std::memcpy(into, text.data() + position, n);
  position += n;
  return static_cast<ssize_t>(n);
}

int not_a_terminal(int) {
  return 0;
}

void BM_Scanner(benchmark::State& state) {
  text = generate_input(static_cast<std::uint64_t>(state.range(0)), 1);
  input_read = read_memory;
  input_isatty = not_a_terminal;
  std::int64_t tokens = 0;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    position = 0;
    scanner_reset();
    arith_reset();
    while (yylex() != 0) ++tokens;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["tokens/s"] =
      benchmark::Counter(static_cast<double>(tokens), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Scanner)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
