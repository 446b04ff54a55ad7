// Names a signal must not leave behind. While a RemovedOnSignal lives, the
// file it names is removed when SIGTERM, SIGINT or SIGHUP ends the process,
// which then ends as that signal says (its exit status tells the caller).
// POSIX only.
#pragma once

#include <string_view>

namespace cli {

class RemovedOnSignal {
 public:
  // `folder` is an open descriptor of the file's folder and must stay open
  // while this lives; `name` is the file's name in it.
  RemovedOnSignal(int folder, std::string_view name);
  ~RemovedOnSignal();
  RemovedOnSignal(const RemovedOnSignal&) = delete;
  RemovedOnSignal& operator=(const RemovedOnSignal&) = delete;

 private:
  int slot_;  // -1 when every slot was taken
};

}  // namespace cli
