// The options of velumor-encode. Each option is one row of a table in
// options.cpp: a new option is a field here and a row there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/block_frame.h"

namespace cli {

struct Options {
  bool help = false;
  bool decode = false;
  bool rewrite = false;
  bool dryRun = false;
  bool dataFormat = false;
  std::optional<std::string> fallback;
  std::optional<common::Reveal> reveal;  // the data form's default: on loading
  std::optional<std::string> placeholder;
  std::optional<std::string> decoderFolder;
  std::optional<std::string> inputPath;
  std::optional<std::string> outputPath;
  std::optional<std::uint64_t> seed;
  std::optional<unsigned> threads;
  std::vector<std::string> words;
};

struct UsageError {
  std::string message;  // German, without the program name
};

std::variant<Options, UsageError> ParseArguments(const std::vector<std::string>& args);

// What --help shows, in German.
std::string_view HelpText();

}  // namespace cli
