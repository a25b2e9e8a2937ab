// The parse engines alone: each fed a token stream recorded in memory, so
// that no scanning is timed. This file stands in for scanner.cpp: it defines
// what the engines take from the scanner (ScanPosition for the plans engine,
// yylex and yylval for the textbook engine), so that the linker takes
// nothing of scanner.cpp from calccore, and the engines are the library's
// own code.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "arith.hpp"
#include "bench/input_generator.hpp"
#include "engine.hpp"
#include "scanner.hpp"
#include "tokens.hpp"

namespace {

struct Recorded {
  int code;
  SemValue value;
};
std::vector<Recorded> tokens;
std::size_t replayed;  // tokens handed out so far

// A small tokenizer for the generated text (no long literals, no errors).
std::vector<Recorded> record(const std::string& text) {
  std::vector<Recorded> out;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const char n = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == ' ' || c == '\t' || c == '\n') {
      ++i;
    } else if (c >= '0' && c <= '9') {
      long long v = 0;
      while (i < text.size() && text[i] >= '0' && text[i] <= '9') v = v * 10 + (text[i++] - '0');
      out.push_back({NUMBER, SemValue{.val = static_cast<std::int32_t>(v)}});
    } else if (text.compare(i, 4, "dump") == 0) {
      out.push_back({DUMP, {}});
      i += 4;
    } else if (c >= 'a' && c <= 'z') {
      out.push_back({LETTER, SemValue{.letter = c}});
      ++i;
    } else if ((c == '<' || c == '>') && n == c) {
      const bool assign = i + 2 < text.size() && text[i + 2] == '=';
      out.push_back(
          {c == '<' ? (assign ? LSHIFT_ASSIGN : LSHIFT) : (assign ? RSHIFT_ASSIGN : RSHIFT), {}});
      i += assign ? 3 : 2;
    } else if (n == '=' && std::string("+-*/%&|^").find(c) != std::string::npos) {
      const int codes[] = {ADD_ASSIGN, SUB_ASSIGN, MUL_ASSIGN, DIV_ASSIGN,
                           MOD_ASSIGN, AND_ASSIGN, OR_ASSIGN,  XOR_ASSIGN};
      out.push_back({codes[std::string("+-*/%&|^").find(c)], {}});
      i += 2;
    } else {
      out.push_back({static_cast<unsigned char>(c), {}});
      ++i;
    }
  }
  return out;
}

void BM_Engine(benchmark::State& state, int (*parse)()) {
  tokens = record(generate_input(static_cast<std::uint64_t>(state.range(0)), 1));
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    replayed = 0;
    arith_reset();
    if (parse() != 0) state.SkipWithError("the recorded input did not parse");
  }
  state.counters["tokens/s"] = benchmark::Counter(
      static_cast<double>(tokens.size()) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_Engine, plans, engine::plans_parse)
    ->Arg(1 << 20)
    ->Arg(16 << 20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Engine, textbook, engine::textbook_parse)
    ->Arg(1 << 20)
    ->Arg(16 << 20)
    ->Unit(benchmark::kMillisecond);

}  // namespace

SemValue yylval;

// The textbook engine reads through yylex, the plans engine through a
// ScanPosition; both replay the recording.
int yylex() {
  if (replayed == tokens.size()) return 0;
  yylval = tokens[replayed].value;
  return tokens[replayed++].code;
}

ScanPosition::ScanPosition() : at_(nullptr) {}
void ScanPosition::hand_back() {}
std::size_t ScanPosition::next_column() {
  if (replayed == tokens.size()) return static_cast<std::size_t>(engine::token_column(0));
  value_ = tokens[replayed].value;
  return static_cast<std::size_t>(engine::token_column(tokens[replayed++].code));
}

int main(int argc, char** argv) {
  // The engine's results go to /dev/null; the report, through std::cout,
  // still reaches the terminal.
  std::FILE* null = std::fopen("/dev/null", "w");
  if (null == nullptr) return 1;
  stdout = null;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
