// The real Windows layer, run under Wine: what the A-functions store and give
// back, the directory search, and the take-over of a Startup shortcut.
#include "platform/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "encoder/windows1252.h"
#include "platform/win32/windows_api.h"
#include "support/RXSAMMLUNG.h"
#include "support/RXSAMMLUNG2DIVFU.h"

namespace {

using namespace RXSAMMLUNG;
using platform::RegistryRoot;

constexpr auto User = RegistryRoot::CurrentUser;
const std::wstring RunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring ShellFolders = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The real layer with message boxes recorded: a modal box would wait for a user.
class RecordingPlatform : public platform::win32::Win32Platform {
 public:
  std::vector<std::u16string> messages;
  int MessageBox(std::u16string_view text, std::u16string_view, int) override {
    messages.emplace_back(text);
    return IDOK;
  }
};

std::u16string U16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }
std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring ProgramFile() {
  wchar_t path[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return path;
}

struct RawValue {
  DWORD type;
  std::string bytes;
  bool operator==(const RawValue&) const = default;
};

// A value as RegQueryValueExA gives it, without the layer under test.
std::optional<RawValue> ReadRaw(HKEY root, const std::wstring& subKey, const char* name) {
  HKEY key;
  if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
  RawValue value{0, std::string(4096, '\0')};
  DWORD size = static_cast<DWORD>(value.bytes.size());
  const LONG result =
      RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(value.bytes.data()), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return std::nullopt;
  value.bytes.resize(size);
  return value;
}

void WriteRaw(HKEY root, const std::wstring& subKey, const wchar_t* name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(key);
}

// A registry value that a test changes: put back as it was found, or
// removed again when there was none.
class RestoredOnExit {
 public:
  RestoredOnExit(HKEY root, std::wstring subKey, std::wstring name)
      : root_(root), subKey_(std::move(subKey)), name_(std::move(name)) {
    HKEY key;
    if (RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (RegQueryValueExW(key, name_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
      data_.resize(size);
      existed_ = RegQueryValueExW(key, name_.c_str(), nullptr, &type_, data_.data(), &size) == ERROR_SUCCESS;
      data_.resize(size);
    }
    RegCloseKey(key);
  }
  ~RestoredOnExit() {
    HKEY key;
    if (RegOpenKeyExW(root_, subKey_.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (existed_) {
      RegSetValueExW(key, name_.c_str(), 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
    } else {
      RegDeleteValueW(key, name_.c_str());
    }
    RegCloseKey(key);
  }
  RestoredOnExit(const RestoredOnExit&) = delete;
  RestoredOnExit& operator=(const RestoredOnExit&) = delete;

 private:
  HKEY root_;
  std::wstring subKey_, name_;
  bool existed_ = false;
  DWORD type_ = 0;
  std::vector<BYTE> data_;
};

// A fresh folder under the temporary folder, removed with its files. Its
// name has letters that Windows-1252 lacks, as a Polish or Russian user's has.
class TempFolder {
 public:
  TempFolder() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = std::wstring(temp) + L"Łukasz Автозагрузка " + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path_ + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring entry = path_ + L"\\" + found.cFileName;
        if (found.cFileName == std::wstring(L".") || found.cFileName == std::wstring(L"..")) continue;
        SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(entry.c_str())) RemoveDirectoryW(entry.c_str());
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring File(const wchar_t* name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const {
    const std::wstring file = path_ + L"\\" + name;
    const HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    SetFileAttributesW(file.c_str(), attributes);
    return file;
  }

 private:
  std::wstring path_;
};

class Win32Registry : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, Wide(testKey).c_str()); }

  const std::u16string testKey = u"Software\\VelumorTest" + U16(std::to_wstring(GetCurrentProcessId()));
  RecordingPlatform os;
};

TEST_F(Win32Registry, TextRoundTripStoresOneBytePerUmlautAndTheZero) {
  const std::u16string path = testKey + u"\\Neu\\Tiefer";
  RegPutValue(os, User, path, u"Text", u"Grüße aus Köln", platform::RegSz);
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, Wide(path), "Text"), (RawValue{REG_SZ, std::string("Gr\xFC\xDF"
                                                                                          "e aus K\xF6ln\0",
                                                                                          15)}));
  EXPECT_TRUE(RegValueExists(os, User, path, u"Text"));
  EXPECT_EQ(RegGetString(os, User, path, u"Text"), u"Grüße aus Köln");
  if (GetACP() == 1252) {  // what the bytes mean is the system's code page
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    RegGetValueW(HKEY_CURRENT_USER, Wide(path).c_str(), L"Text", RRF_RT_REG_SZ, nullptr, text, &size);
    EXPECT_EQ(std::wstring(text), L"Grüße aus Köln");
  }
}

TEST_F(Win32Registry, MissingKeyOrValueAndEmptyData) {
  RegPutValue(os, User, testKey, u"Leer", u"", platform::RegSz);
  EXPECT_TRUE(RegValueExists(os, User, testKey, u"Leer"));
  EXPECT_EQ(RegGetString(os, User, testKey, u"Leer"), u"");
  EXPECT_FALSE(RegValueExists(os, User, testKey, u"Fehlt"));
  EXPECT_EQ(RegGetString(os, User, testKey, u"Fehlt"), u"");
  EXPECT_FALSE(RegValueExists(os, User, testKey + u"\\Fehlt", u"Leer"));
  EXPECT_EQ(RegGetString(os, User, testKey + u"\\Fehlt", u"Leer"), u"");
}

TEST_F(Win32Registry, MultiStringsKeepTheirInnerZerosAndDwordsComeBackBytewise) {
  WriteRaw(HKEY_CURRENT_USER, Wide(testKey), L"Liste", REG_MULTI_SZ, L"eins\0zwei\0", 22);
  const DWORD number = 0x00E40041;
  WriteRaw(HKEY_CURRENT_USER, Wide(testKey), L"Zahl", REG_DWORD, &number, sizeof number);
  EXPECT_EQ(RegGetString(os, User, testKey, u"Liste"), std::u16string(u"eins\0zwei\0", 10));
  EXPECT_EQ(RegGetString(os, User, testKey, u"Zahl"), std::u16string(u"A\0ä\0", 4));
}

TEST_F(Win32Registry, RemovingDeletesOneValueAndToleratesAMissingOne) {
  RegPutValue(os, User, testKey, u"Weg", u"1", platform::RegSz);
  RegPutValue(os, User, testKey, u"Bleibt", u"2", platform::RegSz);
  RegRemoveValue(os, User, testKey, u"Weg");
  RegRemoveValue(os, User, testKey, u"Weg");
  RegRemoveValue(os, User, testKey + u"\\Fehlt", u"Weg");
  EXPECT_FALSE(RegValueExists(os, User, testKey, u"Weg"));
  EXPECT_EQ(RegGetString(os, User, testKey, u"Bleibt"), u"2");
}

std::u16string UnusedDrive() {
  const DWORD used = GetLogicalDrives();
  for (int letter = 'Y'; letter >= 'D'; --letter) {
    if ((used & (1u << (letter - 'A'))) == 0) return std::u16string{static_cast<char16_t>(letter), u':', u'\\'};
  }
  return {};
}

TEST(Win32Files, FileExistsSeesOrdinaryFilesOnly) {
  RecordingPlatform os;
  const TempFolder folder;
  const std::u16string base = U16(folder.Path()) + u"\\";
  folder.File(L"nurlesen.txt", FILE_ATTRIBUTE_READONLY);
  // The dot makes it hidden for Wine too, which may lack a place for the attribute.
  folder.File(L".versteckt.dat", FILE_ATTRIBUTE_HIDDEN);
  CreateDirectoryW((folder.Path() + L"\\ordner").c_str(), nullptr);

  EXPECT_TRUE(FileExists(os, base + u"nurlesen.txt"));
  EXPECT_TRUE(FileExists(os, base + u"*.txt"));
  EXPECT_FALSE(FileExists(os, base + u".versteckt.dat"));
  EXPECT_FALSE(FileExists(os, base + u"*.dat"));
  EXPECT_FALSE(FileExists(os, base + u"ordner"));
  EXPECT_FALSE(FileExists(os, base + u"fehlt.txt"));
  EXPECT_FALSE(FileExists(os, base + std::u16string(u"nurlesen.txt\0.lnk", 17)));  // an inner zero names nothing
  const std::u16string drive = UnusedDrive();
  ASSERT_FALSE(drive.empty());
  EXPECT_FALSE(FileExists(os, drive + u"datei.txt"));
}

TEST(Win32Files, AppFilePathIsTheRunningProgram) {
  RecordingPlatform os;
  EXPECT_EQ(RXSAMMLUNG2DIVFU::AppFilePath(os), U16(ProgramFile()));
  EXPECT_TRUE(FileExists(os, RXSAMMLUNG2DIVFU::AppFilePath(os)));
}

TEST(Win32Autostart, AReadOnlyShortcutIsTakenOverIntoTheQuotedRunValue) {
  const RestoredOnExit startup(HKEY_CURRENT_USER, ShellFolders, L"Startup");
  const RestoredOnExit run(HKEY_CURRENT_USER, RunKey, L"Velumor");
  const TempFolder folder;
  const std::wstring shortcut = folder.File(L"Velumor.lnk", FILE_ATTRIBUTE_READONLY);
  WriteRaw(HKEY_CURRENT_USER, ShellFolders, L"Startup", REG_SZ, folder.Path().c_str(),
           static_cast<DWORD>((folder.Path().size() + 1) * sizeof(wchar_t)));

  RecordingPlatform os;
  controls::CheckBox box;
  box.SetClickHandler([&os](controls::CheckBox& b) { ApplyAutostart(os, b); });
  SyncAutostart(os, box);

  EXPECT_EQ(GetFileAttributesW(shortcut.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(os.messages.empty());
  EXPECT_EQ(box.Value(), 1);
  std::u16string quoted = u"\"";  // appended, not joined with +: that trips a false -Wrestrict of GCC 12
  quoted += U16(ProgramFile());
  quoted += u"\" /AUTOSTART";
  const std::string command = windows1252::FromText(quoted);
  EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, RunKey, "Velumor"), (RawValue{REG_SZ, command + '\0'}));

  box.SetValue(0);
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, RunKey, "Velumor"));
}

}  // namespace
