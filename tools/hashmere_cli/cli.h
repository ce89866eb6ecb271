#pragma once
// The command-line front end of the digest engine.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace hashmere_cli {

// Runs one command line (arguments after the program name). Results go to
// `out`, messages to `err`; "-" as a file or check list reads `in`.
// Returns the exit status: 0 success, 1 a mismatch (--expect, --check), 2 a
// file that could not be read or a usage error.
int runCli(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err);

// What the program knows of the terminal behind `err`: progress lines are
// drawn there when it is one (or with --progress). Missing functions mean 80
// columns and the steady clock.
struct Terminal {
    bool errIsTerminal = false;
    std::function<int()> width;
    std::function<double()> now; // seconds
};

int runCli(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err,
    const Terminal& terminal);

} // namespace hashmere_cli
