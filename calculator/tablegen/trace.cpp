// calc_trace: one input followed through both parse engines, for a reader of
// textbook_engine.cpp.
//
//   calc_trace 'a = 2 * 3;'
//
// The input is scanned by the calculator's own scanner (yylex) and parsed as
// textbook_engine.cpp parses it, over the tables this build runs: every
// lookup (default_rule, action, go_to) is printed, with the stack after each
// shift and reduction. Above them, at each step where the plans engine
// looks up a plan (step_plan[state][column]), the plan it runs there,
// numbered and worded as `calc_tablegen --report` shows it with this build's
// plan bound, and under each of its operations the lookups it replaces.
// Status 0 when the input is accepted, 1 on a syntax error, 2 on a wrong
// command line; 3 where a plan does not do what the textbook engine does
// (the plan proof in the tests says that cannot happen). Nothing is
// evaluated, and the stack is not limited: it is a trace of the parse.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "engine.hpp"
#include "grammar.hpp"
#include "input_source.hpp"
#include "lalr.hpp"
#include "scanner.hpp"
#include "textbook_step.hpp"
#include "tokens.hpp"

namespace {

namespace pt = parse_tables;
using Kind = lalr::PlanOp::Kind;

// The input, served to the scanner as standard input.
std::string_view input;
ssize_t read_input(int, void* into, std::size_t count) {
  const std::size_t n = std::min(count, input.size());
  std::memcpy(into, input.data(), n);
  input.remove_prefix(n);
  return static_cast<ssize_t>(n);
}
int not_a_terminal(int) {
  return 0;
}

class Trace {
 public:
  explicit Trace(const lalr::Automaton& a) : a_(a), g_(a.grammar) {}

  // Plan after plan, each operation against the textbook engine's steps.
  int run() {
    for (;;) {
      const int plan = pt::step_plan[stack_.back()][column_];
      std::cout << "plans engine: step_plan[" << stack_.back() << "][" << column_name(column_)
                << "] = plan " << plan << ": " << lalr::plan_text(g_, a_.plans[plan]) << "\n";
      for (const lalr::PlanOp& op : a_.plans[plan]) {
        std::cout << "  " << lalr::plan_text(g_, {op}) << "\n";
        switch (op.kind) {
          case Kind::shift:
            if (textbook_step() != Kind::shift || stack_.back() != op.state) return disagree(plan);
            break;
          case Kind::reduce:
          case Kind::reduce_lookup:
            if (textbook_step() != Kind::reduce || reduced_ != op.rule) return disagree(plan);
            // The plan's goto runs on through the unit rules without actions.
            while (unit_reduction_follows()) textbook_step();
            if (op.kind == Kind::reduce && stack_.back() != op.state) return disagree(plan);
            break;
          case Kind::read:
            if (textbook_step() != Kind::read) return disagree(plan);
            break;
          case Kind::dispatch: break;
          case Kind::accept: return textbook_step() == Kind::accept ? 0 : disagree(plan);
          case Kind::error: return textbook_step() == Kind::error ? 1 : disagree(plan);
        }
      }
    }
  }

 private:
  std::string column_name(int column) const {
    return column == pt::unknown_column ? "(unknown token)" : lalr::column_name(g_, column);
  }

  // One turn of textbook_engine.cpp's loop (textbook::step), its lookups
  // printed; what it did.
  Kind textbook_step() {
    const int state = stack_.back();
    const textbook::Step step = textbook::step(engine::GeneratedTables{}, state, column_);
    std::cout << "    textbook engine: state " << state << ": default_rule[" << state
              << "] = " << int{pt::default_rule[state]};
    if (pt::default_rule[state] == 0 && column_ < pt::terminal_count)
      std::cout << "; action[" << state << "][" << column_name(column_)
                << "] = " << pt::action[state][column_];
    switch (step.kind) {
      case textbook::Step::Kind::read: {
        const int code = yylex();
        column_ = engine::token_column(code);
        std::cout << ", no lookahead: yylex() reads " << column_name(column_);
        if (code != 0) std::cout << " \"" << yytext << "\"";
        std::cout << "\n";
        return Kind::read;
      }
      case textbook::Step::Kind::accept: std::cout << ": accept\n"; return Kind::accept;
      case textbook::Step::Kind::error:
        std::cout << (column_ == pt::unknown_column ? ", a token the grammar never uses" : "")
                  << ": syntax error\n";
        return Kind::error;
      case textbook::Step::Kind::shift:
        stack_.push_back(step.target);
        column_ = pt::unread_column;
        std::cout << ": shift; stack" << stack_text() << "\n";
        return Kind::shift;
      case textbook::Step::Kind::reduce: break;
    }
    const int rule = step.target;
    stack_.resize(stack_.size() - pt::rule_length[rule]);
    const int lhs = pt::rule_lhs[rule];
    stack_.push_back(pt::go_to[stack_.back()][lhs]);
    std::cout << ": reduce by rule " << rule << " (" << lalr::item_text(g_, {rule, -1})
              << "); go_to[" << stack_[stack_.size() - 2] << "]["
              << g_.names[g_.terminal_count + lhs] << "] = " << stack_.back() << "; stack"
              << stack_text() << "\n";
    reduced_ = rule;
    return Kind::reduce;
  }

  // Whether the textbook engine's next step reduces by a unit rule without
  // an action, which the plans engine's gotos run through.
  bool unit_reduction_follows() const {
    const textbook::Step step = textbook::step(engine::GeneratedTables{}, stack_.back(), column_);
    return step.kind == textbook::Step::Kind::reduce &&
           lalr::is_unit_pass(g_.productions[static_cast<std::size_t>(step.target)]);
  }

  std::string stack_text() const {
    std::string text;
    for (int state : stack_) {
      text += ' ';
      text += std::to_string(state);
    }
    return text;
  }

  static int disagree(int plan) {
    std::cout << "plan " << plan << " does not do what the textbook engine does\n";
    return 3;
  }

  const lalr::Automaton& a_;
  const lalr::Grammar& g_;
  std::vector<int> stack_{0};
  int column_ = pt::unread_column;
  int reduced_ = 0;  // the rule of the last reduction
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: calc_trace INPUT   (for example: calc_trace 'a = 2 * 3;')\n";
    return 2;
  }
  std::string error;
  const lalr::Automaton automaton =
      lalr::build(lalr::resolve(grammar, named_tokens, error), CALC_MAX_PLAN_OPS);
  // The plans as the builder names them must be the ones the tables number.
  for (int s = 0; s < pt::state_count; ++s)
    if (!std::equal(std::begin(pt::step_plan[s]), std::end(pt::step_plan[s]),
                    automaton.step_plan[static_cast<std::size_t>(s)].begin())) {
      std::cerr << "calc_trace: the builder's plans are not the ones this build's tables run\n";
      return 2;
    }
  input = argv[1];
  input_read = read_input;
  input_isatty = not_a_terminal;
  std::cout << "input: " << argv[1] << "\n";
  return Trace(automaton).run();
}
