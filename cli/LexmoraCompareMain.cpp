#include "CliUnit.h"
int main(int argc, char** argv) {
  return lexmora::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
