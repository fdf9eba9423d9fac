// pelorin-cli: Pelorin's reader functions on the command line.
#include <iostream>

#include "hidhost/console.h"
#include "pelorin_cli.h"

int main(int argc, char** argv) {
  pelorincli::Console console{std::cout, std::cerr, std::cin,
                              hidhost::IsTerminal(hidhost::StdStream::Input),
                              hidhost::IsTerminal(hidhost::StdStream::Error)};
  return pelorincli::Run(hidhost::Utf8Arguments(argc, argv), console);
}
