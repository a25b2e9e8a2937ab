// calc_tablegen: derives the calculator's parse tables from its grammar.
//   calc_tablegen --tables FILE   write the tables as C++ source
//   calc_tablegen --report        print every state, its items and actions
// Fails (status 1) on a malformed grammar, any parsing conflict, or tables
// too large for their encoding.
#include <fstream>
#include <iostream>
#include <string_view>

#include "lalr.hpp"

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (!(mode == "--report" || (mode == "--tables" && argc > 2))) {
    std::cerr << "usage: calc_tablegen --tables FILE | --report\n";
    return 2;
  }
  std::string error;
  lalr::Grammar resolved = lalr::resolve(grammar, named_tokens, error);
  if (!error.empty()) {
    std::cerr << "calc_tablegen: " << error;
    return 1;
  }
  lalr::Automaton automaton = lalr::build(resolved);
  if (mode == "--report") {
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
  std::ofstream out(argv[2]);
  lalr::write_tables(automaton, out);
  out.close();
  if (!out) {
    std::cerr << "calc_tablegen: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
