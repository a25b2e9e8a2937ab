// Runs a built program as a child process and collects what it did.
#pragma once

#include <chrono>
#include <string>
#include <vector>

struct RunResult {
  std::string out;
  std::string err;
  int status = -1;  // exit status, or 128 + signal number when killed by a signal
  bool timed_out = false;
};

struct RunOptions {
  enum class Stdin { pipe, file, closed };
  Stdin stdin_kind = Stdin::pipe;
  std::string input;        // written to the pipe, or the path of the file
  std::string stdout_path;  // empty: captured through a pipe
  std::chrono::seconds timeout{60};
};

RunResult run_program(const std::string& path, const std::vector<std::string>& args,
                      const RunOptions& options);

// The common case: `input` through a pipe, everything captured.
inline RunResult run_with_input(const std::string& path, const std::string& input) {
  RunOptions options;
  options.input = input;
  return run_program(path, {}, options);
}
