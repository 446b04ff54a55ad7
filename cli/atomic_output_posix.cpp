#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "atomic_output.h"

namespace cli {

namespace fs = std::filesystem;

struct AtomicOutput::State {
  std::string shownPath;  // as the user gave it, for messages
  fs::path target;        // the file that is replaced; empty when writing into a FIFO or device
  fs::path partial;       // the neighbour file while it is being written
  int descriptor = -1;

  ~State() {
    if (descriptor >= 0) close(descriptor);
    if (!partial.empty()) unlink(partial.c_str());
  }
};

namespace {

std::string CannotWrite(const std::string& path) { return "Die Datei kann nicht geschrieben werden: " + path; }

// The name a chain of links ends at, for a link whose file does not exist yet.
fs::path EndOfLinks(fs::path path) {
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(path, error))) break;
    const fs::path next = fs::read_symlink(path, error);
    if (error) break;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return path;
}

// The descriptor that /dev/stdout, /dev/stderr, /dev/fd/N or /proc/self/fd/N names.
std::optional<int> InheritedDescriptor(std::string_view path) {
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (const std::string_view folder : {"/dev/fd/", "/proc/self/fd/"}) {
    if (!path.starts_with(folder)) continue;
    const std::string_view number = path.substr(folder.size());
    int descriptor = -1;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), descriptor);
    if (error == std::errc() && end == number.data() + number.size() && !number.empty()) return descriptor;
  }
  return std::nullopt;
}

std::string RandomSuffix(std::random_device& source) {
  constexpr char Digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string suffix;
  for (int i = 0; i < 12; ++i) suffix += Digits[source() % 36];
  return suffix;
}

}  // namespace

AtomicOutput::AtomicOutput(std::unique_ptr<State> state) : state_(std::move(state)) {}
AtomicOutput::AtomicOutput(AtomicOutput&&) noexcept = default;
AtomicOutput& AtomicOutput::operator=(AtomicOutput&&) noexcept = default;
AtomicOutput::~AtomicOutput() = default;

std::variant<AtomicOutput, std::string> AtomicOutput::Open(const std::string& path) {
  auto state = std::make_unique<State>();
  state->shownPath = path;
  if (const auto inherited = InheritedDescriptor(path)) {
    // /dev/stdout and its kind name a descriptor this process already has:
    // the output goes there, whatever the shell opened it on.
    state->descriptor = fcntl(*inherited, F_DUPFD_CLOEXEC, 0);
    if (state->descriptor < 0) return CannotWrite(path);
    return AtomicOutput(std::move(state));
  }
  struct stat existing {};
  const bool exists = stat(path.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) return CannotWrite(path);
  if (exists && S_ISDIR(existing.st_mode)) return "Die Ausgabe ist ein Ordner, keine Datei: " + path;
  if (exists && !S_ISREG(existing.st_mode)) {
    // A FIFO, a terminal or a device: there is nothing to replace.
    state->descriptor = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (state->descriptor < 0) return CannotWrite(path);
    return AtomicOutput(std::move(state));
  }
  if (exists) {
    if (access(path.c_str(), W_OK) != 0) return "Die Datei ist schreibgeschützt: " + path;
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved)) return CannotWrite(path);
    state->target = resolved;
  } else {
    state->target = EndOfLinks(path);
  }

  fs::path folder = state->target.parent_path();
  if (folder.empty()) folder = ".";
  std::random_device source;
  for (int attempt = 0; attempt < 100 && state->descriptor < 0; ++attempt) {
    std::string name = ".";
    name += state->target.filename().string();
    name += ".velumor-" + RandomSuffix(source);
    const fs::path partial = folder / name;
    // O_EXCL makes a new file or fails, also on a link planted under that name.
    state->descriptor = open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (state->descriptor >= 0) state->partial = partial;
    if (state->descriptor < 0 && errno != EEXIST) break;
  }
  if (state->descriptor < 0) return CannotWrite(path);
  if (exists) {
    // The replacement keeps the file's owner and group where this user may
    // give them (root; a group of the user's own), and always its mode.
    const bool ownerKept = fchown(state->descriptor, existing.st_uid, existing.st_gid) == 0;
    (void)ownerKept;
    if (fchmod(state->descriptor, existing.st_mode & 07777) != 0) return CannotWrite(path);
  }
  return AtomicOutput(std::move(state));
}

bool AtomicOutput::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = write(state_->descriptor, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

std::optional<std::string> AtomicOutput::Commit() {
  State& s = *state_;
  if (s.target.empty()) {  // written into a FIFO or device
    const bool closed = close(s.descriptor) == 0;
    s.descriptor = -1;
    if (!closed) return CannotWrite(s.shownPath);
    return std::nullopt;
  }
  // On disk before the rename, so a crash leaves the old file or the new one.
  const bool written = fsync(s.descriptor) == 0;
  const bool closed = close(s.descriptor) == 0;
  s.descriptor = -1;
  const bool replaced = written && closed && rename(s.partial.c_str(), s.target.c_str()) == 0;
  if (!replaced) unlink(s.partial.c_str());
  s.partial.clear();
  if (!written || !closed) return CannotWrite(s.shownPath);
  if (!replaced) return "Die Datei kann nicht ersetzt werden: " + s.shownPath;
  return std::nullopt;
}

bool NamesSameFile(const std::string& first, const std::string& second) {
  struct stat a {
  }, b{};
  return stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace cli
