// calc_tablegen: derives the calculator's parse tables from its grammar.
//   calc_tablegen [--max-plan-ops N] --tables FILE   write the tables as C++ source
//   calc_tablegen [--max-plan-ops N] --report        print every state, its items,
//                                                    actions and plans
// --max-plan-ops bounds a plan's length (at least 2; 8 by default). Fails
// (status 1) on a malformed grammar, any parsing conflict, or tables too
// large for their encoding; status 2 on a malformed command line.
#include <charconv>
#include <fstream>
#include <iostream>
#include <string_view>

#include "lalr.hpp"

namespace {

int usage() {
  std::cerr << "usage: calc_tablegen [--max-plan-ops N] --tables FILE | --report\n"
               "       (N a whole number, at least "
            << lalr::min_plan_ops << ")\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int max_plan_ops = lalr::default_max_plan_ops;
  int arg = 1;
  if (arg < argc && std::string_view(argv[arg]) == "--max-plan-ops") {
    if (arg + 1 >= argc) return usage();
    const std::string_view text = argv[arg + 1];
    const auto [end, failed] =
        std::from_chars(text.data(), text.data() + text.size(), max_plan_ops);
    if (failed != std::errc{} || end != text.data() + text.size() ||
        max_plan_ops < lalr::min_plan_ops)
      return usage();
    arg += 2;
  }
  const std::string_view mode = arg < argc ? argv[arg] : "";
  const bool report = mode == "--report" && arg + 1 == argc;
  if (!report && !(mode == "--tables" && arg + 2 == argc)) return usage();
  std::string error;
  lalr::Grammar resolved = lalr::resolve(grammar, named_tokens, error);
  if (!error.empty()) {
    std::cerr << "calc_tablegen: " << error;
    return 1;
  }
  lalr::Automaton automaton = lalr::build(resolved, max_plan_ops);
  if (report) {
    lalr::write_report(automaton, std::cout);
    return automaton.conflicts.empty() ? 0 : 1;
  }
  if (!automaton.conflicts.empty()) {
    lalr::write_report(automaton, std::cerr);
    std::cerr << "calc_tablegen: the grammar has " << automaton.conflicts.size() << " conflicts\n";
    return 1;
  }
  if (const std::string errors = lalr::encoding_errors(automaton); !errors.empty()) {
    std::cerr << "calc_tablegen: the tables cannot be encoded:\n" << errors;
    return 1;
  }
  const char* const path = argv[arg + 1];
  std::ofstream out(path);
  lalr::write_tables(automaton, out);
  out.close();
  if (!out) {
    std::cerr << "calc_tablegen: cannot write " << path << "\n";
    return 1;
  }
  return 0;
}
