#include <csignal>
#include <iostream>

#include "cli/options.h"
#include "cli/run.h"

int main(int argc, char** argv) {
  // A write cut short by a file-size limit must fail and be reported, not
  // kill the program halfway through replacing the page.
  std::signal(SIGXFSZ, SIG_IGN);

  const tervane::cli::ParseOutcome parsed = tervane::cli::ParseCommandLine(argc, argv);
  if (!parsed.options) {
    (parsed.exitCode == 0 ? std::cout : std::cerr) << parsed.output << '\n';
    return parsed.exitCode;
  }
  return tervane::cli::Run(*parsed.options, std::cout, std::cerr);
}
