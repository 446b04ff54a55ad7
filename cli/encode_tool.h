// velumor-encode: the encoder and decoder on the command line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Where the text comes from when neither arguments nor --input give it. A
// descriptor, where there is one, lets a regular file be mapped instead of read.
struct StandardInput {
  StandardInput(std::istream& stream) : stream(&stream) {}  // implicit: any stream will do
  StandardInput(std::istream& stream, int descriptor) : stream(&stream), descriptor(descriptor) {}
  std::istream* stream;
  int descriptor = -1;
};

// Runs the tool with its arguments (UTF-8, without the program name).
// Returns the exit code: 0 done, 1 nothing to do or a failure, 2 bad usage.
int RunEncodeTool(const std::vector<std::string>& args, StandardInput in, std::ostream& out, std::ostream& err);

}  // namespace cli
