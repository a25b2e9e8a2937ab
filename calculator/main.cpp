// calculator: checked 32-bit integer statements from standard input.
//
// Exit status: 0 after "Calculator off.", 1 after "Invalid expression." (a
// syntax error, or a parse stack that would exceed its limit or cannot be
// allocated), 2 when the input cannot be read or its buffer cannot be
// allocated or grown (reported by the scanner), or when the results cannot
// be written.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "output.hpp"
#include "tokens.hpp"

int main() {
  const int status = yyparse() == 0 ? 0 : 1;
  write_text(status == 0 ? "\nCalculator off.\n" : "\nInvalid expression.\n");
  // Closing standard output is the last chance to learn that results were
  // lost (a full disk, a closed pipe): a silent status 0 would hide that.
  const bool failed_earlier = std::ferror(stdout) != 0;
  errno = 0;
  if (std::fclose(stdout) != 0 && output_errno == 0) output_errno = errno;
  if (output_errno != 0 || failed_earlier) {
    std::fprintf(stderr, "calculator: cannot write standard output%s%s\n", output_errno ? ": " : "",
                 output_errno ? std::strerror(output_errno) : "");
    return 2;
  }
  return status;
}
