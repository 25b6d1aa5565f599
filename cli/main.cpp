#include <iostream>

#include "cli/options.h"
#include "cli/process.h"
#include "cli/run.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = tervane::cli::StartProcess(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

  const tervane::cli::ParseOutcome parsed =
      tervane::cli::ParseCommandLine(static_cast<int>(pointers.size()), pointers.data());
  if (!parsed.options) {
    (parsed.exitCode == 0 ? std::cout : std::cerr) << parsed.output << '\n';
    return parsed.exitCode;
  }
  return tervane::cli::Run(*parsed.options, std::cout, std::cerr);
}
