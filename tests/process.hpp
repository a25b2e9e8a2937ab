// Runs a built program as a child process and collects what it did.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

struct RunResult {
  std::string out;
  std::string err;
  int status = -1;  // exit status, or 128 + signal number when killed by a signal
  bool timed_out = false;
  double seconds = 0;
};

struct RunOptions {
  enum class Stdin { pipe, file, closed };
  Stdin stdin_kind = Stdin::pipe;
  std::string input;             // written to the pipe, or the path of the file
  bool repeat_input = false;     // the pipe gets `input` over and over, never its end
  std::string stdout_path;       // empty: captured through a pipe
  bool close_stdout = false;     // a pipe whose reader has already gone away
  bool ignore_sigpipe = false;   // the child starts with SIGPIPE ignored
  long address_space_limit = 0;  // bytes; 0 for none. Memory is checked this way, hard
  std::chrono::seconds timeout{60};
};

// On a cross build the built programs run under an emulator, which some
// tests cannot combine with what they check (an address-space limit that the
// emulator itself needs, a library preloaded into the program).
#ifdef CALC_TEST_EMULATOR
inline constexpr bool programs_are_emulated = true;
#else
inline constexpr bool programs_are_emulated = false;
#endif

// The command line that starts a built program: the program itself, or the
// emulator with the program as its argument.
std::vector<std::string> program_command(const std::string& path,
                                         const std::vector<std::string>& args = {});

// How a child's standard streams are set up, and what else it starts with.
struct ChildSetup {
  int in = -1;  // descriptors that become stdin, stdout, stderr; -1 leaves that one closed
  int out = -1;
  int err = -1;
  // A terminal device's path: the child leads a session of its own with this
  // terminal as its controlling terminal and as all three streams.
  std::string terminal;
  bool ignore_sigpipe = false;
  long address_space_limit = 0;  // bytes; 0 for none
};

// Starts a built program (through the emulator on a cross build); returns
// once it has started.
pid_t spawn_program(const std::string& path, const std::vector<std::string>& args,
                    const ChildSetup& setup);

// Waits for the child to end, killing it at the deadline (and then setting
// timed_out); its exit status, or 128 + the signal that ended it.
int reap(pid_t pid, std::chrono::steady_clock::time_point deadline, bool& timed_out);

// Runs a built program (through the emulator on a cross build).
RunResult run_program(const std::string& path, const std::vector<std::string>& args,
                      const RunOptions& options);

// The common case: `input` through a pipe, everything captured.
inline RunResult run_with_input(const std::string& path, const std::string& input) {
  RunOptions options;
  options.input = input;
  return run_program(path, {}, options);
}
