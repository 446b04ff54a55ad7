#include "input_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <istream>
#include <new>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cli {

// Owns either a mapping or a malloc'd buffer. realloc, unlike a string's
// growth, can move large blocks by remapping their pages instead of copying
// them into fresh memory.
constexpr std::size_t ReadBlock = 1 << 20;

class InputBytes::Storage {
 public:
  Storage() = default;
  Storage(const Storage&) = delete;
  Storage& operator=(const Storage&) = delete;
  ~Storage() {
#ifndef _WIN32
    if (mapped_) munmap(mapped_, size_);
#endif
    std::free(buffer_);
  }

  std::string_view View() const { return {mapped_ ? static_cast<const char*>(mapped_) : buffer_, size_}; }

  bool Reserve(std::size_t capacity) {
    if (capacity <= capacity_) return true;
    char* grown = static_cast<char*>(std::realloc(buffer_, capacity));
    if (!grown) return false;
    buffer_ = grown;
    capacity_ = capacity;
    return true;
  }
  // Room for at least `minimum` more bytes, doubling as it grows.
  char* Room(std::size_t minimum) {
    if (capacity_ - size_ < minimum && !Reserve(std::max(2 * capacity_, size_ + std::max(minimum, ReadBlock)))) {
      return nullptr;
    }
    return buffer_ + size_;
  }
  std::size_t RoomSize() const { return capacity_ - size_; }
  void Added(std::size_t count) { size_ += count; }

  void Append(std::string_view text) {
    if (char* room = Room(text.size()); room && !text.empty()) {
      std::copy(text.begin(), text.end(), room);
      size_ += text.size();
    }
  }

#ifndef _WIN32
  void Map(void* mapping, std::size_t length) {
    mapped_ = mapping;
    size_ = length;
  }
#endif

 private:
  void* mapped_ = nullptr;
  char* buffer_ = nullptr;
  std::size_t size_ = 0, capacity_ = 0;
};

InputBytes::InputBytes() : storage_(std::make_unique<Storage>()) {}
InputBytes::InputBytes(std::unique_ptr<Storage> storage) : storage_(std::move(storage)) {}
InputBytes::InputBytes(InputBytes&&) noexcept = default;
InputBytes& InputBytes::operator=(InputBytes&&) noexcept = default;
InputBytes::~InputBytes() = default;

std::string_view InputBytes::View() const { return storage_->View(); }

InputBytes InputBytes::FromText(std::string_view text) {
  auto storage = std::make_unique<Storage>();
  storage->Append(text);
  return InputBytes(std::move(storage));
}

namespace {

// Appends what `read(room, size)` gives (a count, 0 at the end, -1 on a
// failure) until the end.
template <typename Read>
std::optional<InputBytes> ReadToEnd(std::unique_ptr<InputBytes::Storage> storage, Read read) {
  for (;;) {
    char* room = storage->Room(1);
    if (!room) return std::nullopt;
    const std::ptrdiff_t count = read(room, storage->RoomSize());
    if (count < 0) return std::nullopt;
    if (count == 0) return InputBytes(std::move(storage));
    storage->Added(static_cast<std::size_t>(count));
  }
}

std::optional<InputBytes> ReadStreamInto(std::istream& stream, std::unique_ptr<InputBytes::Storage> storage) {
  return ReadToEnd(std::move(storage), [&stream](char* room, std::size_t size) -> std::ptrdiff_t {
    stream.read(room, static_cast<std::streamsize>(size));
    return stream.bad() ? -1 : stream.gcount();
  });
}

}  // namespace

std::optional<InputBytes> ReadAll(std::istream& stream) {
  return ReadStreamInto(stream, std::make_unique<InputBytes::Storage>());
}

#ifndef _WIN32

std::optional<InputBytes> ReadDescriptor(int descriptor) {
  auto storage = std::make_unique<InputBytes::Storage>();
  struct stat status {};
  if (fstat(descriptor, &status) != 0) return std::nullopt;
  if (S_ISDIR(status.st_mode)) return std::nullopt;
  if (S_ISREG(status.st_mode) && status.st_size > 0) {
    const auto length = static_cast<std::size_t>(status.st_size);
    int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
    flags |= MAP_POPULATE;  // one call sets up every page instead of a fault for each
#endif
    void* mapping = mmap(nullptr, length, PROT_READ, flags, descriptor, 0);
    if (mapping != MAP_FAILED) {
      madvise(mapping, length, MADV_SEQUENTIAL);
      storage->Map(mapping, length);
      return InputBytes(std::move(storage));
    }
    if (!storage->Reserve(length + 1)) return std::nullopt;
  }
  return ReadToEnd(std::move(storage), [descriptor](char* room, std::size_t size) -> std::ptrdiff_t {
    ssize_t count;
    do count = read(descriptor, room, size);
    while (count < 0 && errno == EINTR);
    return count;
  });
}

std::optional<InputBytes> ReadFile(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  auto result = ReadDescriptor(descriptor);  // a mapping outlives the descriptor
  close(descriptor);
  return result;
}

#else

std::optional<InputBytes> ReadFile(const std::string& path) {
  const std::filesystem::path name(std::u8string(path.begin(), path.end()));
  std::error_code error;
  if (std::filesystem::is_directory(name, error)) return std::nullopt;
  std::ifstream file(name, std::ios::binary);
  if (!file) return std::nullopt;
  auto storage = std::make_unique<InputBytes::Storage>();
  const auto size = std::filesystem::file_size(name, error);
  if (!error && !storage->Reserve(static_cast<std::size_t>(size) + 1)) return std::nullopt;
  return ReadStreamInto(file, std::move(storage));
}

#endif

}  // namespace cli
