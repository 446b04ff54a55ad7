#include <windows.h>

#include <filesystem>
#include <random>

#include "atomic_output.h"

namespace cli {

namespace fs = std::filesystem;

namespace {

struct Handle {
  HANDLE value = INVALID_HANDLE_VALUE;
  Handle() = default;
  explicit Handle(HANDLE h) : value(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }
  bool Valid() const { return value != INVALID_HANDLE_VALUE; }
  bool Close() {
    const bool closed = !Valid() || CloseHandle(value);
    value = INVALID_HANDLE_VALUE;
    return closed;
  }
};

fs::path PathFromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string CannotWrite(const std::string& path) { return "Die Datei kann nicht geschrieben werden: " + path; }

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opened only to ask what it is; opening follows links to the file they name.
HANDLE OpenToInspect(const fs::path& path) {
  return CreateFileW(path.c_str(), 0, ShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::wstring RandomSuffix(std::random_device& source) {
  constexpr wchar_t Digits[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
  std::wstring suffix;
  for (int i = 0; i < 12; ++i) suffix += Digits[source() % 36];
  return suffix;
}

// Attributes a replacement takes over; read-only is refused before, and the
// rest describe the file system entry itself.
constexpr DWORD KeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

struct AtomicOutput::State {
  std::string shownPath;
  fs::path target;   // empty when writing into a device or pipe
  fs::path partial;  // the neighbour file while it is being written
  DWORD attributes = 0;
  Handle file;

  ~State() {
    file.Close();
    if (!partial.empty()) DeleteFileW(partial.c_str());
  }
};

AtomicOutput::AtomicOutput(std::unique_ptr<State> state) : state_(std::move(state)) {}
AtomicOutput::AtomicOutput(AtomicOutput&&) noexcept = default;
AtomicOutput& AtomicOutput::operator=(AtomicOutput&&) noexcept = default;
AtomicOutput::~AtomicOutput() = default;

std::variant<AtomicOutput, std::string> AtomicOutput::Open(const std::string& path) {
  auto state = std::make_unique<State>();
  state->shownPath = path;
  const fs::path name = PathFromUtf8(path);
  state->target = name;
  {
    Handle existing(OpenToInspect(name));
    if (existing.Valid()) {
      if (GetFileType(existing.value) != FILE_TYPE_DISK) {
        // A console, NUL or a pipe: there is nothing to replace.
        existing.Close();
        state->file.value = CreateFileW(name.c_str(), GENERIC_WRITE, ShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
        if (!state->file.Valid()) return CannotWrite(path);
        state->target.clear();
        return AtomicOutput(std::move(state));
      }
      BY_HANDLE_FILE_INFORMATION info{};
      if (!GetFileInformationByHandle(existing.value, &info)) return CannotWrite(path);
      if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "Die Ausgabe ist ein Ordner, keine Datei: " + path;
      if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return "Die Datei ist schreibgeschützt: " + path;
      state->attributes = info.dwFileAttributes & KeptAttributes;
      wchar_t final[32768];
      const DWORD length = GetFinalPathNameByHandleW(existing.value, final, 32768, FILE_NAME_NORMALIZED);
      if (length > 0 && length < 32768) state->target = fs::path(std::wstring(final, length));
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
      return CannotWrite(path);
    }
  }

  fs::path folder = state->target.parent_path();
  if (folder.empty()) folder = L".";
  std::random_device source;
  for (int attempt = 0; attempt < 100 && !state->file.Valid(); ++attempt) {
    const fs::path partial = folder / (L"." + state->target.filename().wstring() + L".velumor-" + RandomSuffix(source));
    // CREATE_NEW makes a new file or fails, also on anything planted under that name.
    state->file.value = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (state->file.Valid()) state->partial = partial;
    if (!state->file.Valid() && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  if (!state->file.Valid()) return CannotWrite(path);
  return AtomicOutput(std::move(state));
}

bool AtomicOutput::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 30));
    DWORD written = 0;
    if (!WriteFile(state_->file.value, bytes.data(), piece, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

std::optional<std::string> AtomicOutput::Commit() {
  State& s = *state_;
  if (s.target.empty()) return s.file.Close() ? std::nullopt : std::optional(CannotWrite(s.shownPath));
  // On disk before the move, so a crash leaves the old file or the new one.
  const bool flushed = FlushFileBuffers(s.file.value);
  const bool written = s.file.Close() && flushed;
  if (written && s.attributes != 0) SetFileAttributesW(s.partial.c_str(), s.attributes);
  const bool replaced =
      written && MoveFileExW(s.partial.c_str(), s.target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!replaced) DeleteFileW(s.partial.c_str());
  s.partial.clear();
  if (!written) return CannotWrite(s.shownPath);
  if (!replaced) return "Die Datei kann nicht ersetzt werden: " + s.shownPath;
  return std::nullopt;
}

bool NamesSameFile(const std::string& first, const std::string& second) {
  Handle a(OpenToInspect(PathFromUtf8(first))), b(OpenToInspect(PathFromUtf8(second)));
  BY_HANDLE_FILE_INFORMATION infoA{}, infoB{};
  return a.Valid() && b.Valid() && GetFileInformationByHandle(a.value, &infoA) &&
         GetFileInformationByHandle(b.value, &infoB) && infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
         infoA.nFileIndexHigh == infoB.nFileIndexHigh && infoA.nFileIndexLow == infoB.nFileIndexLow;
}

}  // namespace cli
