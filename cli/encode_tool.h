// velumor-encode: the encoder and decoder on the command line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Runs the tool with its arguments (UTF-8, without the program name).
// Returns the exit code: 0 done, 1 nothing to do or a failure, 2 bad usage.
int RunEncodeTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace cli
