// orvane: the OrvaneNet library on matrix text files, from the command line.
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "Cli.h"
#include "Commands.h"
#include "Distributed.h"

int main(int argc, char** argv) {
  using namespace orvane;
  const std::vector<std::string> args(argv + 1, argv + argc);
  std::string prefix = "orvane: ";
  try {
    if (args.empty()) {
      RunTour();
      return 0;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
      PrintOverview(std::cout);
      return 0;
    }
    const Command* command = FindCommand(args[0]);
    if (command == nullptr) BadInput("unknown command '" + args[0] + "' (orvane --help lists them)");
    prefix = "orvane " + std::string(command->name) + ": ";
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (WantsDistributed(rest)) return RunDistributed(*command, rest);
    const Options options =
        ParseOptions(std::vector<std::string>(args.begin() + 1, args.end()), command->options, command->name);
    if (options.Has("--help")) {
      PrintHelp(std::cout, *command);
      return 0;
    }
    command->run(options);
    std::cout.flush();
    if (!std::cout) BadInput("cannot write to standard output");
    return 0;
  } catch (const Failure& f) {
    std::cerr << prefix << f.what() << '\n';
    return f.status();
  } catch (const std::bad_alloc&) {
    std::cerr << prefix << "out of memory\n";
    return kNumericalFailure;
  } catch (const std::exception& e) {
    // Anything the library raises that the commands do not expect.
    std::cerr << prefix << e.what() << '\n';
    return kNumericalFailure;
  }
}
