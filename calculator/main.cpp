// calculator: checked 32-bit integer statements from standard input.
//
// Exit status: 0 after "Calculator off.", 1 after "Invalid expression.", 2
// when the input cannot be read (reported by the scanner) or the results
// cannot be written.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tokens.hpp"

int main() {
  const int status = yyparse() == 0 ? 0 : 1;
  std::fputs(status == 0 ? "\nCalculator off.\n" : "\nInvalid expression.\n", stdout);
  // Closing standard output is the last chance to learn that results were
  // lost (a full disk, a closed pipe): a silent status 0 would hide that.
  const bool failed_earlier = std::ferror(stdout) != 0;
  errno = 0;
  if (std::fclose(stdout) != 0 || failed_earlier) {
    const int cause = errno;
    std::fprintf(stderr, "calculator: cannot write standard output%s%s\n", cause ? ": " : "",
                 cause ? std::strerror(cause) : "");
    return 2;
  }
  return status;
}
