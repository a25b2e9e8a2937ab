// Faults of the environment: reads that are interrupted or fail, a terminal
// read error, output that cannot be written, a buffer that cannot grow. The
// read faults go through the scanner's read hook in a forked copy of the
// calculator's code; the others run the built program.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "memory_input.hpp"
#include "process.hpp"
#include "sanitizer.hpp"
#include "scanner.hpp"
#include "tokens.hpp"

namespace {

const std::string calculator = CALCULATOR_PATH;

std::string source;
std::size_t position;
int calls;

// Serves `source` a few bytes at a time, failing every other call with
// errno `failure`.
int failure;
ssize_t flaky_read(int, void* into, std::size_t count) {
  if (++calls % 2 == 1) {
    errno = failure;
    return -1;
  }
  const std::size_t n = std::min({count, source.size() - position, std::size_t{5}});
  std::memcpy(into, source.data() + position, n);
  position += n;
  return static_cast<ssize_t>(n);
}

int is_terminal(int) {
  return 1;
}
int not_terminal(int) {
  return 0;
}

void use_flaky_input(const std::string& text, int error_number, bool terminal) {
  use_input("");
  source = text;
  position = 0;
  calls = 0;
  failure = error_number;
  scanner_read = flaky_read;
  scanner_isatty = terminal ? is_terminal : not_terminal;
}

TEST(FaultInjection, InterruptedBlockReadsAreRetried) {
  use_flaky_input("a = 6 * 7;\nb = a << 1;\na + b;\n", EINTR, false);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(yyparse(), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "42\n84\n126\n");
  EXPECT_GT(calls, 10);
}

TEST(FaultInjection, FailedBlockReadIsFatal) {
  EXPECT_EXIT(
      {
        use_flaky_input("1;", EIO, false);
        yyparse();
      },
      ::testing::ExitedWithCode(2), "^input in flex scanner failed\n$");
}

// Bytes that arrived before a read failed are answered; the failure is
// reported by the next read.
ssize_t fails_after_first_bytes(int, void* into, std::size_t count) {
  if (++calls > 1) {
    errno = EAGAIN;
    return -1;
  }
  const std::size_t n = std::min(count, source.size());
  std::memcpy(into, source.data(), n);
  return static_cast<ssize_t>(n);
}

TEST(FaultInjection, BytesBeforeAFailedReadAreAnswered) {
  EXPECT_EXIT(
      {
        use_flaky_input("1;2;", 0, false);
        scanner_read = fails_after_first_bytes;
        // Results and the message in one unbuffered stream, in order.
        std::setvbuf(stdout, nullptr, _IONBF, 0);
        dup2(STDERR_FILENO, STDOUT_FILENO);
        yyparse();
      },
      ::testing::ExitedWithCode(2), "^1\n2\ninput in flex scanner failed\n$");
}

TEST(FaultInjection, AnyReadErrorAtATerminalIsFatal) {
  EXPECT_EXIT(
      {
        use_flaky_input("1;\n", EINTR, true);
        yyparse();
      },
      ::testing::ExitedWithCode(2), "^input in flex scanner failed\n$");
}

TEST(FaultInjection, OutputToAClosedPipe) {
  RunOptions options;
  options.input = std::string(200'000, ' ');
  for (int i = 0; i < 20'000; ++i) options.input += "1;\n";
  options.close_stdout = true;
  // The conventional end: killed by SIGPIPE.
  RunResult killed = run_program(calculator, {}, options);
  EXPECT_FALSE(killed.timed_out);
  EXPECT_EQ(killed.status, 128 + SIGPIPE);
  // With SIGPIPE ignored: the write error is reported.
  options.ignore_sigpipe = true;
  RunResult reported = run_program(calculator, {}, options);
  EXPECT_FALSE(reported.timed_out);
  EXPECT_EQ(reported.status, 2);
  EXPECT_NE(reported.err.find("cannot write standard output: Broken pipe"), std::string::npos)
      << reported.err;
}

// The cause is named whether the failure shows at the close (buffered
// output) or at a write long before it (unbuffered output).
TEST(FaultInjection, WriteFailuresNameTheirCause) {
  RunOptions options;
  options.input = "1;2;\n";
  options.stdout_path = "/dev/full";
  RunResult buffered = run_program(calculator, {}, options);
  EXPECT_EQ(buffered.err, "calculator: cannot write standard output: No space left on device\n");
  EXPECT_EQ(buffered.status, 2);
#ifdef UNDER_ADDRESS_SANITIZER
  GTEST_SKIP() << "stdbuf preloads a library, which AddressSanitizer refuses";
#else
  if (programs_are_emulated) GTEST_SKIP() << "stdbuf would preload its library into the emulator";
  RunResult unbuffered = run_program("/usr/bin/stdbuf", {"-o0", calculator}, options);
  EXPECT_EQ(unbuffered.err, buffered.err);
  EXPECT_EQ(unbuffered.status, 2);
#endif
}

TEST(FaultInjection, BufferThatCannotGrowForALongLiteral) {
#ifdef UNDER_ADDRESS_SANITIZER
  GTEST_SKIP() << "an address-space limit cannot be combined with AddressSanitizer";
#else
  if (programs_are_emulated) GTEST_SKIP() << "an emulator maps more than any address-space limit";
  RunOptions options;
  options.input = "1;\n" + std::string(64 << 20, '7') + ";\n";
  options.address_space_limit = 48L << 20;
  RunResult r = run_program(calculator, {}, options);
  EXPECT_EQ(r.out, "1\n");
  EXPECT_EQ(r.err, "fatal error - scanner input buffer overflow\n");
  EXPECT_EQ(r.status, 2);
#endif
}

}  // namespace
