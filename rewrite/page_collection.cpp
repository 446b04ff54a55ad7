#include "page_collection.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <memory>
#endif

namespace rewrite {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// Where a name leads, through symbolic links and junctions, as the file
// system spells it: std::filesystem of MinGW resolves neither.
fs::path RealPath(const fs::path& path, std::error_code& error) {
  const HANDLE opened = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const std::unique_ptr<void, HandleCloser> file(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
  error.clear();
  std::wstring name(MAX_PATH, L'\0');
  while (file) {
    // Too short a buffer gives the length needed, with the terminating zero.
    const DWORD length =
        GetFinalPathNameByHandleW(file.get(), name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    if (length == 0) break;
    const bool complete = length < name.size();
    name.resize(length);
    if (!complete) continue;
    // Without the prefix that lifts the length limit: the name as the user knows it.
    if (name.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + name.substr(8);
    if (name.starts_with(L"\\\\?\\")) return name.substr(4);
    return name;
  }
  error = std::error_code(static_cast<int>(GetLastError()), std::system_category());
  return {};
}

// A name is a link, to a file or a folder, when it leads elsewhere than
// where it stands.
bool IsLink(const fs::directory_entry& entry) {
  std::error_code leads, stands;
  const fs::path real = RealPath(entry.path(), leads);
  const fs::path standing = RealPath(entry.path().parent_path(), stands) / entry.path().filename();
  return !leads && !stands && CompareStringOrdinal(real.c_str(), -1, standing.c_str(), -1, TRUE) != CSTR_EQUAL;
}
#else
fs::path RealPath(const fs::path& path, std::error_code& error) { return fs::canonical(path, error); }

bool IsLink(const fs::directory_entry& entry) {
  std::error_code ignored;
  return entry.is_symlink(ignored);
}
#endif

fs::path PathFromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }

std::string Utf8OfPath(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool IsPageName(const fs::path& path) {
  std::string extension = Utf8OfPath(path.extension());
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return extension == ".html" || extension == ".htm";
}

// Both canonical.
bool IsWithin(const fs::path& path, const fs::path& folder) {
  return std::mismatch(folder.begin(), folder.end(), path.begin(), path.end()).first == folder.end();
}

class Collector {
 public:
  explicit Collector(std::ostream& err) : err_(err) {}

  void Add(const std::vector<std::string>& paths) {
    std::vector<fs::path> folders;
    for (const std::string& given : paths) {
      std::error_code error;
      const fs::path path = PathFromUtf8(given);
      if (!fs::is_directory(path, error)) continue;
      if (fs::path real = RealPath(path, error); !error) folders.push_back(std::move(real));
    }
    folders_ = std::move(folders);
    for (const std::string& given : paths) AddNamed(given);
  }

  CollectedPages Result() && { return std::move(result_); }

 private:
  void Fail(const std::string& message) {
    err_ << "velumor-encode: " << message << "\n";
    result_.failed = true;
  }
  void Skip(const std::string& why, const std::string& what) {
    err_ << "velumor-encode: Übersprungen: " << why << ": " << what << "\n";
  }

  // The first name a file is found under is the one it is rewritten as.
  bool FirstTime(const fs::path& path) {
    std::error_code error;
    const fs::path real = RealPath(path, error);
    return error || seen_.insert(real).second;
  }

  bool InsideFoldersNamed(const fs::path& real) const {
    return std::any_of(folders_.begin(), folders_.end(), [&](const fs::path& f) { return IsWithin(real, f); });
  }

  void AddNamed(const std::string& given) {
    const fs::path path = PathFromUtf8(given);
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
      Fail("Die Datei oder der Ordner existiert nicht: " + given);
    } else if (error) {
      Fail("Die Datei oder der Ordner kann nicht gelesen werden: " + given);
    } else if (fs::is_fifo(status)) {
      // Read, it would take what a writer sends to someone else; it cannot be replaced either.
      Fail("Der Pfad ist eine benannte Pipe (FIFO), keine Datei; --rewrite schützt nur Seiten in Dateien: " + given);
    } else if (fs::is_directory(status)) {
      AddFolder(given, path);
    } else if (fs::is_regular_file(status)) {
      if (FirstTime(path)) result_.pages.push_back(given);
    } else {
      Fail("Der Pfad ist weder eine Datei noch ein Ordner: " + given);
    }
  }

  void AddFolder(const std::string& given, const fs::path& folder) {
    std::vector<std::string> found;
    std::vector<fs::path> links;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      std::error_code ignored;
      if ((IsPageName(it->path()) || it->is_directory(ignored)) && IsLink(*it)) {
        it.disable_recursion_pending();  // a folder it leads to inside is walked anyway
        links.push_back(it->path());
      } else if (IsPageName(it->path()) && it->is_regular_file(ignored)) {
        if (FirstTime(it->path())) found.push_back(Utf8OfPath(it->path()));
      } else if (IsPageName(it->path()) && it->is_fifo(ignored)) {
        Skip("benannte Pipe (FIFO), keine Datei", Utf8OfPath(it->path()));
      }
    }
    if (error) Fail("Der Ordner kann nicht ganz gelesen werden: " + given);
    // After the files, so that a link to one of them does not take its name.
    for (const fs::path& link : links) {
      if (auto page = FollowedLink(link)) found.push_back(std::move(*page));
    }
    std::sort(found.begin(), found.end());
    result_.pages.insert(result_.pages.end(), found.begin(), found.end());
  }

  // A link found in a folder: the page it stands for, if it is to be rewritten.
  // A link to a folder is not walked: inside, its folder is walked anyway.
  std::optional<std::string> FollowedLink(const fs::path& link) {
    std::error_code error;
    const fs::path real = RealPath(link, error);
    if (error) return std::nullopt;  // leads nowhere
    const bool folder = fs::is_directory(real, error);
    if (!folder && !IsPageName(link)) return std::nullopt;
    if (!InsideFoldersNamed(real)) {
      Skip("symbolischer Verweis aus dem Ordner heraus", Utf8OfPath(link) + " → " + Utf8OfPath(real));
      return std::nullopt;
    }
    if (folder || !fs::is_regular_file(real, error) || !FirstTime(real)) return std::nullopt;
    return Utf8OfPath(link);
  }

  std::ostream& err_;
  std::vector<fs::path> folders_;  // the folders named, canonical
  std::set<fs::path> seen_;        // the files taken, canonical
  CollectedPages result_;
};

}  // namespace

CollectedPages CollectPages(const std::vector<std::string>& paths, std::ostream& err) {
  Collector collector(err);
  collector.Add(paths);
  return std::move(collector).Result();
}

}  // namespace rewrite
