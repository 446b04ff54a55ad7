#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "atomic_output.h"
#include "signal_cleanup.h"

namespace cli {

namespace fs = std::filesystem;

struct AtomicOutput::State {
  std::string shownPath;  // as the user gave it, for messages
  fs::path target;        // the file that is replaced; empty when writing into a FIFO or device
  int folder = -1;        // the target's folder
  int descriptor = -1;
  std::string partial;  // the neighbour file's name while it has one; an unnamed file has none
  std::optional<RemovedOnSignal> removedOnSignal;

  State() = default;
  State(const State&) = delete;
  State& operator=(const State&) = delete;
  ~State() {
    if (descriptor >= 0) close(descriptor);
    RemovePartial();
    if (folder >= 0) close(folder);  // after the handler has let go of it
  }

  // Named for the handler before the file exists, so that no moment leaves it
  // behind unnamed.
  void NamePartial(std::string name) {
    removedOnSignal.emplace(folder, name);
    partial = std::move(name);
  }
  // Once it has become the target.
  void ForgetPartial() {
    removedOnSignal.reset();
    partial.clear();
  }
  void RemovePartial() {
    if (!partial.empty()) unlinkat(folder, partial.c_str(), 0);
    ForgetPartial();
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

// A hidden name beside the target that nobody can guess; the target's own
// name is cut short where the whole would be too long for a name.
std::string NeighbourName(const std::string& target, std::random_device& source) {
  constexpr char Digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string name = ".";
  name.append(target, 0, NAME_MAX - 32).append(".velumor-");
  for (int i = 0; i < 12; ++i) name += Digits[source() % 36];
  return name;
}

std::string ProcessPath(int descriptor) {
  char path[40];
  std::snprintf(path, sizeof path, "/proc/self/fd/%d", descriptor);
  return path;
}

// A file without a name in the target's folder (O_TMPFILE): whatever ends the
// process before Commit, even SIGKILL, leaves nothing behind. Only where the
// file system makes one and /proc can give it a name later.
int OpenUnnamed(int folder) {
  const int descriptor = openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (descriptor < 0) return -1;
  if (access(ProcessPath(descriptor).c_str(), F_OK) != 0) {
    close(descriptor);
    return -1;
  }
  return descriptor;
}

// Tries `make` under fresh neighbour names of `target` until one is free.
template <typename Make>
bool UnderFreshNeighbourName(AtomicOutput::State& state, const std::string& target, Make make) {
  std::random_device source;
  for (int attempt = 0; attempt < 100; ++attempt) {
    state.NamePartial(NeighbourName(target, source));
    if (make()) return true;
    const int error = errno;
    state.ForgetPartial();
    if (error != EEXIST) return false;
  }
  return false;
}

bool OpenNamed(AtomicOutput::State& state) {
  return UnderFreshNeighbourName(state, state.target.filename().string(), [&state] {
    // O_EXCL makes a new file or fails, also on a link planted under that name.
    state.descriptor =
        openat(state.folder, state.partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    return state.descriptor >= 0;
  });
}

bool LinkUnnamed(const AtomicOutput::State& state, const std::string& name) {
  return linkat(AT_FDCWD, ProcessPath(state.descriptor).c_str(), state.folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// The unnamed file takes the target's name: directly where no file has it,
// else under a neighbour name that then replaces the target in one step.
bool PutUnnamedInPlace(AtomicOutput::State& state, const std::string& name) {
  if (LinkUnnamed(state, name)) return true;
  if (errno != EEXIST) return false;
  return UnderFreshNeighbourName(state, name, [&] { return LinkUnnamed(state, state.partial); }) &&
         renameat(state.folder, state.partial.c_str(), state.folder, name.c_str()) == 0;
}

}  // namespace

AtomicOutput::AtomicOutput(std::unique_ptr<State> state) : state_(std::move(state)) {}
AtomicOutput::AtomicOutput(AtomicOutput&&) noexcept = default;
AtomicOutput& AtomicOutput::operator=(AtomicOutput&&) noexcept = default;
AtomicOutput::~AtomicOutput() = default;

std::variant<AtomicOutput, std::string> AtomicOutput::Open(const std::string& path) {
  return Open(path, Neighbour::UnnamedWherePossible);
}

std::variant<AtomicOutput, std::string> AtomicOutput::Open(const std::string& path, Neighbour neighbour) {
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

  const fs::path folder = state->target.has_parent_path() ? state->target.parent_path() : fs::path(".");
  state->folder = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (state->folder < 0) return CannotWrite(path);
  if (neighbour == Neighbour::UnnamedWherePossible) state->descriptor = OpenUnnamed(state->folder);
  if (state->descriptor < 0 && !OpenNamed(*state)) return CannotWrite(path);
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
  const std::string name = s.target.filename().string();
  // On disk before it takes the target's name, so a crash leaves the old file or the new one.
  const bool written = fsync(s.descriptor) == 0;
  const bool unnamed = s.partial.empty();
  bool replaced = written && unnamed && PutUnnamedInPlace(s, name);  // needs the descriptor open
  // An unnamed file's bytes are synced and in place: nothing a failing close could still lose.
  const bool closed = close(s.descriptor) == 0 || replaced;
  s.descriptor = -1;
  if (written && closed && !unnamed) replaced = renameat(s.folder, s.partial.c_str(), s.folder, name.c_str()) == 0;
  if (replaced) {
    s.ForgetPartial();
  } else {
    s.RemovePartial();
  }
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
