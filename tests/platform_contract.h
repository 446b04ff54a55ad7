// What the registry, files and clipboard must do, whichever Windows is below
// the seam: the same tests run on the in-memory fake and, under Wine, on the
// real layer. Each Windows gives its set-up and inspection around the seam.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace contract {

struct Stored {
  std::uint32_t type;
  std::string bytes;
  bool operator==(const Stored&) const = default;
};

class Windows {
 public:
  virtual ~Windows() = default;
  virtual platform::Platform& os() = 0;
  // Message boxes the platform was asked to show.
  virtual const std::vector<std::u16string>& Messages() = 0;

  // A scratch key below HKEY_CURRENT_USER and a scratch folder, both empty;
  // neither ends in a backslash.
  virtual std::u16string Key() = 0;
  virtual std::u16string Folder() = 0;

  // The registry below HKEY_CURRENT_USER, read and written around the seam.
  virtual std::optional<Stored> Get(std::u16string_view key, std::u16string_view name) = 0;
  virtual void Put(std::u16string_view key, std::u16string_view name, const Stored& value) = 0;
  // A value outside the scratch key that a test changes: put back afterwards.
  virtual void KeepUnchanged(std::u16string_view key, std::u16string_view name) = 0;

  // Files in the scratch folder.
  virtual void AddFile(std::u16string_view name, std::uint32_t attributes) = 0;
  virtual void AddFolder(std::u16string_view name) = 0;
  virtual bool Present(std::u16string_view path) = 0;
  // A drive letter that names no drive: "X:\".
  virtual std::u16string NoDrive() = 0;
  // The running program file, as Windows names it.
  virtual std::u16string ProgramFile() = 0;
};

using MakeWindows = std::unique_ptr<Windows> (*)();

}  // namespace contract

// Instantiated once per Windows, by the file that makes it.
class Contract : public ::testing::TestWithParam<contract::MakeWindows> {
 protected:
  std::unique_ptr<contract::Windows> windows = GetParam()();
  platform::Platform& os = windows->os();
  const std::u16string key = windows->Key();
};
