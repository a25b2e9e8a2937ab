#include "process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace {

void make_pipe(int fds[2]) {
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

// posix_spawn does not copy this process's memory (large under a
// sanitizer); it returns once the child has exec'd.
pid_t start_with_spawn(std::vector<char*>& argv, const ChildSetup& setup) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  short flags = POSIX_SPAWN_SETSIGDEF;
  if (!setup.terminal.empty()) {
    // A session of its own, in which the terminal, opened first, becomes the
    // controlling terminal: the child then gets SIGHUP when it hangs up.
    flags |= POSIX_SPAWN_SETSID;
    posix_spawn_file_actions_addopen(&actions, 0, setup.terminal.c_str(), O_RDWR, 0);
    posix_spawn_file_actions_adddup2(&actions, 0, 1);
    posix_spawn_file_actions_adddup2(&actions, 0, 2);
  } else {
    if (setup.in < 0) {
      posix_spawn_file_actions_addclose(&actions, 0);
    } else {
      posix_spawn_file_actions_adddup2(&actions, setup.in, 0);
    }
    posix_spawn_file_actions_adddup2(&actions, setup.out, 1);
    posix_spawn_file_actions_adddup2(&actions, setup.err, 2);
  }
  sigset_t defaults;
  sigemptyset(&defaults);
  if (!setup.ignore_sigpipe) sigaddset(&defaults, SIGPIPE);  // else inherited: ignored
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, flags);
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) throw std::runtime_error(std::string("cannot start ") + argv[0]);
  return pid;
}

}  // namespace

std::vector<std::string> program_command(const std::string& path,
                                         const std::vector<std::string>& args) {
  std::vector<std::string> command;
#ifdef CALC_TEST_EMULATOR
  std::istringstream emulator(CALC_TEST_EMULATOR);
  for (std::string word; emulator >> word;) command.push_back(word);
#endif
  command.push_back(path);
  command.insert(command.end(), args.begin(), args.end());
  return command;
}

pid_t spawn_program(const std::string& path, const std::vector<std::string>& args,
                    const ChildSetup& setup) {
  const std::vector<std::string> command = program_command(path, args);
  std::vector<char*> argv;
  argv.reserve(command.size() + 1);
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = start_with_spawn(argv, setup);
  // The limit is set from outside, once the program has started: posix_spawn
  // cannot set one, and the program allocates only a few kilobytes before it
  // reads its input, which its caller has not yet written.
  if (setup.address_space_limit > 0) {
    const rlimit limit{static_cast<rlim_t>(setup.address_space_limit),
                       static_cast<rlim_t>(setup.address_space_limit)};
    if (prlimit(pid, RLIMIT_AS, &limit, nullptr) != 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      throw std::runtime_error("cannot limit the address space of " + path);
    }
  }
  return pid;
}

int reap(pid_t pid, std::chrono::steady_clock::time_point deadline, bool& timed_out) {
  int wstatus = 0;
  while (waitpid(pid, &wstatus, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) {
      timed_out = true;
      kill(pid, SIGKILL);
      waitpid(pid, &wstatus, 0);
      break;
    }
    usleep(1000);
  }
  return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
}

RunResult run_program(const std::string& path, const std::vector<std::string>& args,
                      const RunOptions& options) {
  // A child that stops reading early must not take the test down with it.
  signal(SIGPIPE, SIG_IGN);
  int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
  int child_in = -1, child_out = -1;
  if (options.stdin_kind == RunOptions::Stdin::pipe) {
    make_pipe(in);
    child_in = in[0];
  } else if (options.stdin_kind == RunOptions::Stdin::file) {
    child_in = open(options.input.c_str(), O_RDONLY | O_CLOEXEC);
    if (child_in < 0) throw std::runtime_error("cannot open " + options.input);
  }
  if (options.stdout_path.empty()) {
    make_pipe(out);
    child_out = out[1];
  } else {
    child_out = open(options.stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (child_out < 0) throw std::runtime_error("cannot open " + options.stdout_path);
  }
  make_pipe(err);

  ChildSetup setup;
  setup.in = child_in;
  setup.out = child_out;
  setup.err = err[1];
  setup.ignore_sigpipe = options.ignore_sigpipe;
  setup.address_space_limit = options.address_space_limit;
  const pid_t pid = spawn_program(path, args, setup);
  const auto started = std::chrono::steady_clock::now();
  if (child_in >= 0) close(child_in);
  close(child_out);
  close(err[1]);
  if (options.close_stdout && out[0] >= 0) {
    close(out[0]);
    out[0] = -1;
  }

  RunResult result;
  std::size_t written = 0;
  int to_child = in[1];
  if (to_child >= 0) fcntl(to_child, F_SETFL, O_NONBLOCK);
  if (to_child >= 0 && options.input.empty()) {
    close(to_child);
    to_child = -1;
  }
  const auto deadline = std::chrono::steady_clock::now() + options.timeout;
  int open_outputs = (out[0] >= 0 ? 1 : 0) + 1;
  bool poll_failed = false;
  while (open_outputs > 0 || to_child >= 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timed_out = true;
      break;
    }
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {to_child, POLLOUT, 0}};
    const int wait_ms = static_cast<int>(std::min<decltype(left.count())>(left.count(), 1000));
    if (poll(fds, 3, wait_ms) < 0) {
      if (errno == EINTR) continue;
      poll_failed = true;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char chunk[65536];
      ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
      if (n > 0) {
        (i == 0 ? result.out : result.err).append(chunk, static_cast<std::size_t>(n));
      } else {
        close(fds[i].fd);
        (i == 0 ? out[0] : err[0]) = -1;
        --open_outputs;
      }
    }
    if (to_child < 0 || fds[2].revents == 0) continue;
    // Without POLLOUT the child has closed its end (POLLERR, POLLHUP): no
    // call was made, so errno says nothing here.
    bool done = (fds[2].revents & POLLOUT) == 0;
    if (!done) {
      const ssize_t n =
          write(to_child, options.input.data() + written, options.input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      done = n < 0 && errno != EAGAIN && errno != EINTR;
      if (written == options.input.size()) {
        if (options.repeat_input) {
          written = 0;
        } else {
          done = true;
        }
      }
    }
    if (done) {
      close(to_child);
      to_child = -1;
    }
  }
  for (int fd : {out[0], err[0], to_child})
    if (fd >= 0) close(fd);
  // Reaped by the deadline in every case: a child still running then, or
  // left behind by a failed poll, is killed.
  if (poll_failed) kill(pid, SIGKILL);
  result.status = reap(pid, deadline, result.timed_out);
  result.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (poll_failed) throw std::runtime_error("poll failed while running " + path);
  return result;
}
