// The calculator at a terminal (a pseudo-terminal): each line is answered
// as soon as it is entered, and a syntax error ends the run at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "process.hpp"

namespace {

class Terminal {
 public:
  Terminal() {
    termios settings{};
    cfmakeraw(&settings);
    settings.c_lflag = ICANON;  // line editing, no echo
    settings.c_oflag = OPOST | ONLCR;
    settings.c_cc[VEOF] = 4;
    settings.c_cc[VMIN] = 1;
    int slave = -1;
    char name[128];
    if (openpty(&master_, &slave, name, &settings, nullptr) != 0) return;
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    ChildSetup setup;
    setup.terminal = name;
    pid_ = spawn_program(CALCULATOR_PATH, {}, setup);
    close(slave);
  }
  ~Terminal() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
  }
  bool started() const { return master_ >= 0 && pid_ > 0; }

  void type(const std::string& line) {
    ASSERT_EQ(write(master_, line.data(), line.size()), static_cast<ssize_t>(line.size()));
  }

  // Reads until `expected` has appeared in all output so far, or 10 s pass.
  bool await(const std::string& expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (seen_.find(expected) == std::string::npos) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd fd{master_, POLLIN, 0};
      if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) return false;
      char chunk[4096];
      ssize_t n = read(master_, chunk, sizeof chunk);
      if (n <= 0) return false;
      seen_.append(chunk, static_cast<std::size_t>(n));
    }
    return true;
  }

  // Exit status once the program has ended by itself, within 10 s; -1 if
  // it had to be killed.
  int exit_status() {
    bool timed_out = false;
    const int status =
        reap(pid_, std::chrono::steady_clock::now() + std::chrono::seconds(10), timed_out);
    reaped_ = true;
    return timed_out ? -1 : status;
  }

  const std::string& seen() const { return seen_; }

  // The terminal goes away, as when its window is closed.
  void hang_up() {
    close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  bool reaped_ = false;
  std::string seen_;
};

TEST(Terminal, EachLineIsAnsweredBeforeTheNextIsTyped) {
  Terminal t;
  ASSERT_TRUE(t.started());
  t.type("a = 5;\n");
  ASSERT_TRUE(t.await("5\r\n")) << t.seen();
  t.type("a * 3; b = \n");
  ASSERT_TRUE(t.await("15\r\n")) << t.seen();
  t.type("a << 1;\n");  // completes "b = a << 1;"
  ASSERT_TRUE(t.await("10\r\n")) << t.seen();
  t.type("1 / 0;\n");
  ASSERT_TRUE(t.await("dividebyzero\r\n")) << t.seen();
  t.type("\x04");  // end of input at the start of a line
  ASSERT_TRUE(t.await("\r\nCalculator off.\r\n")) << t.seen();
  EXPECT_EQ(t.exit_status(), 0);
  EXPECT_EQ(t.seen(), "5\r\n15\r\n10\r\ndividebyzero\r\n\r\nCalculator off.\r\n");
}

TEST(Terminal, SyntaxErrorEndsTheRunWithoutWaitingForInput) {
  Terminal t;
  ASSERT_TRUE(t.started());
  t.type("5;;\n");
  ASSERT_TRUE(t.await("Invalid expression.\r\n")) << t.seen();
  EXPECT_EQ(t.exit_status(), 1);
  EXPECT_EQ(t.seen(), "5\r\nsyntax error\r\n\r\nInvalid expression.\r\n");
}

// A terminal that hangs up in the middle of a line ends the run: by SIGHUP
// or by the failed read; never by waiting, and never as a clean end.
TEST(Terminal, HangUpMidLineEndsTheRun) {
  Terminal t;
  ASSERT_TRUE(t.started());
  t.type("a = 1;\n");
  ASSERT_TRUE(t.await("1\r\n")) << t.seen();
  t.type("b = 2");
  usleep(50'000);
  t.hang_up();
  const int status = t.exit_status();
  EXPECT_TRUE(status == 128 + SIGHUP || status == 2) << "status " << status;
}

}  // namespace
