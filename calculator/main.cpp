// calculator: checked 32-bit integer statements from standard input.
//
// Exit status: 0 after "Calculator off.", 1 after "Invalid expression." (a
// syntax error, or a parse stack that would exceed its limit or cannot be
// allocated), 2 when the input cannot be read or its buffer cannot be
// allocated or grown (reported by the scanner), or at the first write to
// standard output that fails (reported by output_failed).
#include <cerrno>
#include <cstdio>

#include "output.hpp"
#include "tokens.hpp"

int main() {
  const int status = yyparse() == 0 ? 0 : 1;
  write_text(status == 0 ? "\nCalculator off.\n" : "\nInvalid expression.\n");
  // Closing standard output writes what is still buffered: the last chance
  // to learn that results were lost, which a silent status 0 would hide.
  errno = 0;
  if (std::ferror(stdout) != 0 || std::fclose(stdout) != 0) output_failed(errno);
  return status;
}
