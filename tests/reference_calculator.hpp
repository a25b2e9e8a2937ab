// An independent model of the calculator, for differential testing only: a
// recursive-descent evaluator over a string, written from the language's
// rules with its own tokenizer, checked arithmetic, precedence handling and
// count of the parser's 500-entry stack. It shares no code with calculator/.
#pragma once

#include <string>
#include <string_view>

struct ReferenceOutcome {
  std::string out;
  std::string err;
  int status = 0;
};

ReferenceOutcome reference_run(std::string_view input);
