// Writing a named output whole or not at all.
//
// A regular file, or a name that does not exist yet, is written to a fresh
// neighbour file in the same folder, which replaces the file only once every
// byte is written; the replaced file keeps its mode (on Windows its
// attributes). On Linux the neighbour has no name until then (O_TMPFILE), so
// that nothing stays behind whatever ends the process; where the file system
// refuses that, it is made exclusively under a hidden name nobody can guess,
// never through a link, and SIGTERM, SIGINT or SIGHUP remove it before the
// process ends by the signal. A symbolic link is followed to the file it
// names, which is then replaced. A FIFO or a device cannot be replaced and is
// written into.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace cli {

class AtomicOutput {
 public:
  // Opens the output named in UTF-8, or gives a German message naming it.
  static std::variant<AtomicOutput, std::string> Open(const std::string& path);
#ifndef _WIN32
  enum class Neighbour { UnnamedWherePossible, Named };
  // As above, or with the hidden named neighbour of file systems without unnamed files.
  static std::variant<AtomicOutput, std::string> Open(const std::string& path, Neighbour neighbour);
#endif

  AtomicOutput(AtomicOutput&&) noexcept;
  AtomicOutput& operator=(AtomicOutput&&) noexcept;
  // Without Commit the neighbour file is removed and the target stays as it was.
  ~AtomicOutput();

  bool Write(std::string_view bytes);

  // Puts the written bytes in place. On failure a German message naming the
  // path; the target stays as it was and no neighbour file is left.
  std::optional<std::string> Commit();

  struct State;

 private:
  explicit AtomicOutput(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

// True when both names lead to one existing file (through links too).
bool NamesSameFile(const std::string& first, const std::string& second);

}  // namespace cli
