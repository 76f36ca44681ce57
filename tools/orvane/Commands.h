// The subcommands of the orvane tool and their help texts.
#pragma once

#include <iosfwd>
#include <span>

#include "Cli.h"

namespace orvane {

struct Command {
  const char* name;
  const char* synopsis;  // "solve A B [options]"
  const char* summary;   // one line for the overview
  const char* help;      // every option of the subcommand
  std::span<const OptionSpec> options;
  void (*run)(const Options& options);
};

std::span<const Command> Commands();
const Command* FindCommand(const std::string& name);

void PrintOverview(std::ostream& os);
void PrintHelp(std::ostream& os, const Command& command);

// `orvane` without arguments: every capability on built-in data.
void RunTour();

}  // namespace orvane
