#pragma once
// The command-line front end of the digest engine.

#include <iosfwd>
#include <string>
#include <vector>

namespace hashmere_cli {

// Runs one command line (arguments after the program name). Results go to
// `out`, messages to `err`; "-" as a file or check list reads `in`.
// Returns the exit status: 0 success, 1 a mismatch (--expect, --check), 2 a
// file that could not be read or a usage error.
int runCli(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace hashmere_cli
