#include <iostream>

#include "hiditems_cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return hiditems::Run(args, std::cout, std::cerr);
}
