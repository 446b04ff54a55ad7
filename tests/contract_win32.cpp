// The contract on the real Windows layer under Wine: a scratch key and
// folder of the test's own, and the values it changes put back at the end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "platform_contract.h"

namespace {

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
std::u16string U16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

// The real layer with message boxes recorded: a modal box would wait for a user.
class RecordingPlatform : public platform::win32::Win32Platform {
 public:
  std::vector<std::u16string> messages;
  int MessageBox(std::u16string_view text, std::u16string_view, int) override {
    messages.emplace_back(text);
    return IDOK;
  }
};

class RealWindows : public contract::Windows {
 public:
  RealWindows() {
    const std::wstring id = std::to_wstring(GetCurrentProcessId());
    key_ = L"Software\\VelumorTest" + id;
    // Letters that Windows-1252 lacks, as in a Polish or Russian user's folders.
    folder_ = (std::filesystem::temp_directory_path() / (L"Łukasz Автозагрузка " + id)).wstring();
    std::filesystem::create_directory(folder_);
  }
  ~RealWindows() override {
    for (auto restore = restores_.rbegin(); restore != restores_.rend(); ++restore) (*restore)();
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_, ignored))
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(folder_, ignored);
  }

  platform::Platform& os() override { return os_; }
  const std::vector<std::u16string>& Messages() override { return os_.messages; }
  std::u16string Key() override { return U16(key_); }
  std::u16string Folder() override { return U16(folder_); }

  std::optional<contract::Stored> Get(std::u16string_view key, std::u16string_view name) override {
    HKEY open;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, KEY_QUERY_VALUE, &open) != ERROR_SUCCESS) return {};
    std::string bytes(4096, '\0');
    DWORD type = 0, size = static_cast<DWORD>(bytes.size());
    const std::string narrow(name.begin(), name.end());  // ASCII names only
    const LONG result =
        RegQueryValueExA(open, narrow.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
    RegCloseKey(open);
    if (result != ERROR_SUCCESS) return {};
    return contract::Stored{type, bytes.substr(0, size)};
  }
  void Put(std::u16string_view key, std::u16string_view name, const contract::Stored& value) override {
    // The 8-bit function, as the settings are stored: ASCII names only.
    const std::string narrowKey(key.begin(), key.end()), narrowName(name.begin(), name.end());
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, narrowKey.c_str(), narrowName.c_str(), value.type, value.bytes.data(),
                              static_cast<DWORD>(value.bytes.size())),
              ERROR_SUCCESS);
  }
  void KeepUnchanged(std::u16string_view key, std::u16string_view name) override {
    std::vector<BYTE> data(65536);
    DWORD type = 0, size = static_cast<DWORD>(data.size());
    const bool present = RegGetValueW(HKEY_CURRENT_USER, Wide(key).c_str(), Wide(name).c_str(),
                                      RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size) == ERROR_SUCCESS;
    // Put back as it was, or removed again when it was absent.
    restores_.push_back([key = Wide(key), name = Wide(name), present, type, data, size] {
      if (present) {
        RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), type, data.data(), size);
      } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
      }
    });
  }
  void AddFile(std::u16string_view name, std::uint32_t attributes) override {
    const std::filesystem::path file = folder_ + L"\\" + Wide(name);
    EXPECT_TRUE(std::ofstream(file).good());
    SetFileAttributesW(file.c_str(), attributes);
  }
  void AddFolder(std::u16string_view name) override {
    CreateDirectoryW((folder_ + L"\\" + Wide(name)).c_str(), nullptr);
  }
  bool Present(std::u16string_view path) override {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  std::u16string NoDrive() override {
    for (char16_t letter = u'Y'; letter >= u'D'; --letter) {
      if ((GetLogicalDrives() & (1u << (letter - u'A'))) == 0) return {letter, u':', u'\\'};
    }
    return u"?:\\";  // no drive either, should all letters be taken
  }
  std::u16string ProgramFile() override {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    return U16(path);
  }

 private:
  RecordingPlatform os_;
  std::wstring key_, folder_;
  std::vector<std::function<void()>> restores_;
};

std::unique_ptr<contract::Windows> MakeReal() { return std::make_unique<RealWindows>(); }

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, Contract, ::testing::Values(&MakeReal));
