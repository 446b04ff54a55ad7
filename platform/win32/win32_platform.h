// The real Windows behind the seam. Each interface is implemented in a source
// file of its own (win32_registry.cpp, win32_files.cpp, ...), so that further
// parts of the seam join as further files.
#pragma once

#include "platform/platform.h"

namespace platform::win32 {

class Win32Platform : public Platform {
 public:
  // Registry
  long OpenKey(RegistryRoot root, std::string_view subKey, RegistryAccess access, RegistryHandle& key) override;
  long QueryMaxValueDataSize(RegistryHandle key, std::uint32_t& size) override;
  long QueryValue(RegistryHandle key, std::string_view name, std::uint32_t* type, char* data,
                  std::uint32_t* size) override;
  long CreateKey(RegistryRoot root, std::string_view subKey, RegistryHandle& key) override;
  long SetValue(RegistryHandle key, std::string_view name, std::uint32_t type, const char* data,
                std::uint32_t size) override;
  long DeleteValue(RegistryHandle key, std::string_view name) override;
  long CloseKey(RegistryHandle key) override;

  // Files
  std::vector<std::uint32_t> MatchingAttributes(std::string_view pattern) override;
  bool SetAttributes(std::string_view path, std::uint32_t attributes) override;
  bool DeleteFile(std::string_view path) override;
  std::u16string ProgramFolder() override;
  std::u16string ProgramName() override;

  // Shell
  void Execute(std::string_view verb, std::string_view target, int showCommand) override;

  // Dialogs
  int MessageBox(std::u16string_view text, std::u16string_view caption, int style) override;
};

}  // namespace platform::win32
