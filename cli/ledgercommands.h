#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The command-line companion: record and list files to and from JSON, for scripting and recovery.
// Returns the process exit status: 0 done, 1 bad input or a damaged file, 2 wrong password.
int runLedgerCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);
