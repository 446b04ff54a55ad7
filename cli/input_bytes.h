// The whole input of a run, held once: a regular file is mapped, anything
// else is read into one buffer that grows without copying where the system
// allows. Every byte must be checked before the first byte goes out, so the
// input is kept whole; the text made from it is not.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

class InputBytes {
 public:
  InputBytes();
  InputBytes(InputBytes&&) noexcept;
  InputBytes& operator=(InputBytes&&) noexcept;
  ~InputBytes();

  static InputBytes FromText(std::string_view text);
  std::string_view View() const;

  // For the readers below.
  class Storage;
  explicit InputBytes(std::unique_ptr<Storage> storage);

 private:
  std::unique_ptr<Storage> storage_;
};

// Everything a stream holds, or nothing on a read error.
std::optional<InputBytes> ReadAll(std::istream& stream);

// A file, named in UTF-8; nothing when it cannot be opened or read.
std::optional<InputBytes> ReadFile(const std::string& path);

#ifndef _WIN32
// An open file descriptor (standard input): mapped when it is a regular file.
std::optional<InputBytes> ReadDescriptor(int descriptor);
#endif

}  // namespace cli
