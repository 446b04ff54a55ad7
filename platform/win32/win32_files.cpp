// Files: the directory search, attributes, deletion and the running program's
// own file.
#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

// A directory search, closed when it goes out of scope.
class FindHandle {
 public:
  FindHandle(const wchar_t* pattern, WIN32_FIND_DATAW& found) : handle_(FindFirstFileW(pattern, &found)) {}
  ~FindHandle() {
    if (IsValid()) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;

  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Next(WIN32_FIND_DATAW& found) { return FindNextFileW(handle_, &found) != 0; }

 private:
  HANDLE handle_;
};

// While it lives, a drive that is not ready (an empty card reader, a disc
// drive without disc) makes the calls of this thread fail instead of asking
// the user in a system dialog.
class CriticalErrorsFailQuietly {
 public:
  CriticalErrorsFailQuietly() { SetThreadErrorMode(GetThreadErrorMode() | SEM_FAILCRITICALERRORS, &previous_); }
  ~CriticalErrorsFailQuietly() { SetThreadErrorMode(previous_, nullptr); }
  CriticalErrorsFailQuietly(const CriticalErrorsFailQuietly&) = delete;
  CriticalErrorsFailQuietly& operator=(const CriticalErrorsFailQuietly&) = delete;

 private:
  DWORD previous_ = 0;
};

// The full path of the running program file; empty when Windows cannot give it.
std::wstring ProgramFilePath() {
  constexpr std::size_t longestPath = 32768;  // the longest path Windows handles, with its zero
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    // Cut short: the buffer was too small.
    if (path.size() >= longestPath) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::vector<std::uint32_t> Win32Platform::MatchingAttributes(std::u16string_view pattern) {
  std::vector<std::uint32_t> attributes;
  const auto path = WidePath(pattern);
  if (!path) return attributes;
  const CriticalErrorsFailQuietly quietly;
  WIN32_FIND_DATAW found;
  FindHandle search(path->c_str(), found);
  if (!search.IsValid()) return attributes;
  do {
    attributes.push_back(found.dwFileAttributes);
  } while (search.Next(found));
  return attributes;
}

bool Win32Platform::SetAttributes(std::u16string_view path, std::uint32_t attributes) {
  const auto file = WidePath(path);
  if (!file) return false;
  const CriticalErrorsFailQuietly quietly;
  return SetFileAttributesW(file->c_str(), attributes) != 0;
}

bool Win32Platform::DeleteFile(std::u16string_view path) {
  const auto file = WidePath(path);
  if (!file) return false;
  const CriticalErrorsFailQuietly quietly;
  return DeleteFileW(file->c_str()) != 0;
}

std::u16string Win32Platform::ProgramFolder() {
  const std::wstring path = ProgramFilePath();
  const std::size_t separator = path.find_last_of(L'\\');
  if (separator == std::wstring::npos) return {};
  std::wstring folder = path.substr(0, separator);
  // At the root of a drive Windows writes the folder as "C:\".
  if (!folder.empty() && folder.back() == L':') folder.push_back(L'\\');
  return SeamText(folder);
}

std::u16string Win32Platform::ProgramName() {
  const std::wstring path = ProgramFilePath();
  std::wstring name = path.substr(path.find_last_of(L'\\') + 1);  // npos + 1 is 0: the whole text
  const std::size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return SeamText(name);
}

}  // namespace platform::win32
