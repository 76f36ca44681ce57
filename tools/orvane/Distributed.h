// `orvane solve|eig|svd ... --distributed [--grid PxQ] [--block NB]`: the
// command under mpirun, computed by OrvaneNet::Distributed (ScaLAPACK). The
// files are read on rank 0 and the result is printed there, as the command
// without --distributed prints it. A tool built without MPI refuses the
// option with a clear error.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "Commands.h"

namespace orvane {

// Whether the words after the subcommand ask for the distributed mode.
bool WantsDistributed(const std::vector<std::string>& args);

// Runs command in the distributed mode (initializing and finalizing MPI) and
// returns the exit status; rank 0 alone prints, errors included.
int RunDistributed(const Command& command, const std::vector<std::string>& args);

// The help lines of the distributed options for command (empty for commands
// without a distributed mode).
void PrintDistributedHelp(std::ostream& os, const Command& command);

}  // namespace orvane
