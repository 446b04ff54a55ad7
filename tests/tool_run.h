// velumor-encode run in-process: its exit code and what it wrote.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/encode_tool.h"

struct ToolRun {
  int code;
  std::string out, err;
};

inline ToolRun Tool(std::vector<std::string> args, const std::string& input = "") {
  std::istringstream in(input);
  std::ostringstream out, err;
  const int code = cli::RunEncodeTool(args, in, out, err);
  return {code, out.str(), err.str()};
}
