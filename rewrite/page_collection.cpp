#include "page_collection.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <system_error>

namespace rewrite {
namespace {

namespace fs = std::filesystem;

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
      if (fs::path real = fs::canonical(path, error); !error) folders.push_back(std::move(real));
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
    const fs::path real = fs::canonical(path, error);
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
      if (it->is_symlink(ignored)) {
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
    const fs::path real = fs::canonical(link, error);
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
