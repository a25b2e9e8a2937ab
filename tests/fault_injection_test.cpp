// Faults of the environment: reads that are interrupted or fail, a terminal
// read error, output that cannot be written, a buffer that cannot grow. The
// read faults go through the input buffer's read hook in a forked copy of the
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

using Failing = FakeInput::Failing;

TEST(FaultInjection, InterruptedBlockReadsAreRetried) {
  use_input({.text = "a = 6 * 7;\nb = a << 1;\na + b;\n",
             .most_per_read = 5,
             .failing = Failing::every_other_read,
             .failure = EINTR});
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(yyparse(), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "42\n84\n126\n");
  EXPECT_GT(input_reads(), 10);
}

TEST(FaultInjection, FailedBlockReadIsFatal) {
  EXPECT_EXIT(
      {
        use_input({.text = "1;", .failing = Failing::every_other_read, .failure = EIO});
        yyparse();
      },
      ::testing::ExitedWithCode(2), "^input in flex scanner failed\n$");
}

TEST(FaultInjection, AnyReadErrorAtATerminalIsFatal) {
  EXPECT_EXIT(
      {
        use_input({.text = "1;\n",
                   .terminal = true,
                   .failing = Failing::every_other_read,
                   .failure = EINTR});
        yyparse();
      },
      ::testing::ExitedWithCode(2), "^input in flex scanner failed\n$");
}

// Bytes that arrived before a read failed are answered, whether they came in
// one block or byte by byte from a terminal; the failure is reported by the
// next read.
TEST(FaultInjection, BytesBeforeAFailedReadAreAnswered) {
  for (const bool terminal : {false, true}) {
    EXPECT_EXIT(
        {
          use_input({.text = "1;2;",
                     .terminal = terminal,
                     .failing = Failing::after_the_text,
                     .failure = terminal ? EIO : EAGAIN});
          // Results and the message in one unbuffered stream, in order.
          std::setvbuf(stdout, nullptr, _IONBF, 0);
          dup2(STDERR_FILENO, STDOUT_FILENO);
          yyparse();
        },
        ::testing::ExitedWithCode(2), "^1\n2\ninput in flex scanner failed\n$")
        << (terminal ? "at a terminal" : "in blocks");
  }
}

// Output that can no longer go anywhere ends the run at the first failed
// write, on input that never ends: a full device, and a closed pipe with
// SIGPIPE ignored (by default SIGPIPE ends the run, the conventional way).
TEST(FaultInjection, LostOutputStopsTheRunAtOnce) {
  RunOptions options;
  options.input = "1;\n";
  options.repeat_input = true;
  options.timeout = std::chrono::seconds(30);

  options.stdout_path = "/dev/full";
  const RunResult full = run_program(calculator, {}, options);
  EXPECT_FALSE(full.timed_out);
  EXPECT_EQ(full.err, "calculator: cannot write standard output: No space left on device\n");
  EXPECT_EQ(full.status, 2);

  options.stdout_path.clear();
  options.close_stdout = true;
  const RunResult killed = run_program(calculator, {}, options);
  EXPECT_FALSE(killed.timed_out);
  EXPECT_EQ(killed.status, 128 + SIGPIPE);
  options.ignore_sigpipe = true;
  const RunResult reported = run_program(calculator, {}, options);
  EXPECT_FALSE(reported.timed_out);
  EXPECT_EQ(reported.err, "calculator: cannot write standard output: Broken pipe\n");
  EXPECT_EQ(reported.status, 2);
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
