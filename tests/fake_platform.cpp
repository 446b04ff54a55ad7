#include "fake_platform.h"

#include <algorithm>

#include "core/utf16.h"
#include "core/windows1252.h"

namespace fake {
namespace {

constexpr long Success = 0, FileNotFound = 2, AccessDenied = 5, InvalidHandle = 6, MoreData = 234;

std::string KeyId(platform::RegistryRoot root, std::string_view path) {
  return (root == platform::RegistryRoot::CurrentUser ? "hkcu\\" : "hklm\\") + Folded(path);
}

// "*" any run of characters, "?" exactly one; both texts already folded.
bool MatchesPattern(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern.front() == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (MatchesPattern(pattern.substr(1), name.substr(skip))) return true;
    }
    return false;
  }
  if (name.empty()) return false;
  if (pattern.front() != '?' && pattern.front() != name.front()) return false;
  return MatchesPattern(pattern.substr(1), name.substr(1));
}

// Folder and name of a path, split at its last backslash.
std::pair<std::string_view, std::string_view> SplitPath(std::string_view path) {
  const std::size_t separator = path.rfind('\\');
  if (separator == std::string_view::npos) return {std::string_view(), path};
  return {path.substr(0, separator), path.substr(separator + 1)};
}

bool HasWildcards(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

// File names fold their ASCII letters only: bytes of UTF-8 beyond ASCII stay
// as they are, so two different letters never fold together.
std::string FoldedPath(std::string_view path) {
  std::string folded(path);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
  }
  return folded;
}

}  // namespace

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    const auto code = static_cast<unsigned char>(c);
    if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7)) {
      c = static_cast<char>(code + 0x20);
    } else if (code == 0x8A || code == 0x8C || code == 0x8E) {
      c = static_cast<char>(code + 0x10);  // Š Œ Ž
    } else if (code == 0x9F) {
      c = static_cast<char>(0xFF);  // Ÿ
    }
  }
  return folded;
}

std::string Bytes(std::u16string_view text) { return windows1252::FromText(text); }

std::string Utf8(std::u16string_view path) { return utf16::EncodeUtf8(path); }

// ---- Registry

void FakeRegistry::AddKey(Root root, std::string_view path) {
  std::size_t from = 0;
  while (true) {
    const std::size_t separator = path.find('\\', from);
    keys[KeyId(root, path.substr(0, separator))];
    if (separator == std::string_view::npos) break;
    from = separator + 1;
  }
  keys[KeyId(root, "")];
}

void FakeRegistry::Put(Root root, std::string_view path, std::string_view name, std::uint32_t type,
                       std::string_view data) {
  AddKey(root, path);
  keys[KeyId(root, path)].values[Folded(name)] = {type, std::string(data)};
}

void FakeRegistry::PutText(Root root, std::string_view path, std::string_view name, std::u16string_view text) {
  AddKey(root, path);
  keys[KeyId(root, path)].values[Folded(name)] = {platform::RegSz, Bytes(text) + '\0', std::u16string(text)};
}

std::optional<StoredValue> FakeRegistry::Get(Root root, std::string_view path, std::string_view name) const {
  const auto key = keys.find(KeyId(root, path));
  if (key == keys.end()) return std::nullopt;
  const auto value = key->second.values.find(Folded(name));
  if (value == key->second.values.end()) return std::nullopt;
  return value->second;
}

FakeRegistry::Key* FakeRegistry::Find(platform::RegistryHandle key, bool forWriting, long& result) {
  const auto handle = handles.find(key);
  if (handle == handles.end()) {
    result = InvalidHandle;
    return nullptr;
  }
  if (forWriting && !handle->second.writable) {
    result = AccessDenied;
    return nullptr;
  }
  result = Success;
  return &keys[handle->second.keyId];
}

long FakePlatform::OpenKey(platform::RegistryRoot root, std::string_view subKey, platform::RegistryAccess access,
                           platform::RegistryHandle& key) {
  key = 0;
  const std::string id = KeyId(root, subKey);
  const bool allAccess = access == platform::RegistryAccess::AllAccess;
  if (registry.keys.count(id) == 0) return FileNotFound;
  key = registry.nextHandle++;
  registry.handles[key] = {id, allAccess};
  return Success;
}

long FakePlatform::QueryMaxValueDataSize(platform::RegistryHandle key, std::uint32_t& size) {
  long result;
  const FakeRegistry::Key* found = registry.Find(key, false, result);
  if (found == nullptr) return result;
  size = 0;
  for (const auto& [name, value] : found->values) size = std::max(size, static_cast<std::uint32_t>(value.data.size()));
  return Success;
}

long FakePlatform::QueryValue(platform::RegistryHandle key, std::string_view name, std::uint32_t* type, char* data,
                              std::uint32_t* size) {
  long result;
  const FakeRegistry::Key* found = registry.Find(key, false, result);
  if (found == nullptr) return result;
  const auto value = found->values.find(Folded(name));
  if (value == found->values.end()) return FileNotFound;
  if (type != nullptr) *type = value->second.type;
  const auto needed = static_cast<std::uint32_t>(value->second.data.size());
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return Success;
  }
  if (size == nullptr) return 87;  // ERROR_INVALID_PARAMETER
  if (*size < needed) {
    *size = needed;
    return MoreData;
  }
  std::copy(value->second.data.begin(), value->second.data.end(), data);
  *size = needed;
  return Success;
}

long FakePlatform::CreateKey(platform::RegistryRoot root, std::string_view subKey, platform::RegistryHandle& key) {
  key = 0;
  registry.AddKey(root, subKey);
  key = registry.nextHandle++;
  registry.handles[key] = {KeyId(root, subKey), true};
  return Success;
}

long FakePlatform::SetValue(platform::RegistryHandle key, std::string_view name, std::uint32_t type, const char* data,
                            std::uint32_t size) {
  long result;
  FakeRegistry::Key* found = registry.Find(key, true, result);
  if (found == nullptr) return result;
  found->values[Folded(name)] = {type, std::string(data, size)};
  return Success;
}

long FakePlatform::DeleteValue(platform::RegistryHandle key, std::string_view name) {
  long result;
  FakeRegistry::Key* found = registry.Find(key, true, result);
  if (found == nullptr) return result;
  return found->values.erase(Folded(name)) != 0 ? Success : FileNotFound;
}

long FakePlatform::QueryText(platform::RegistryHandle key, std::string_view name, std::u16string& text) {
  text.clear();
  long result;
  const FakeRegistry::Key* found = registry.Find(key, false, result);
  if (found == nullptr) return result;
  const auto value = found->values.find(Folded(name));
  if (value == found->values.end()) return FileNotFound;
  if (value->second.type != platform::RegSz && value->second.type != platform::RegExpandSz) return 1630;
  if (!value->second.wide.empty()) {
    text = value->second.wide;
  } else {
    const std::string& data = value->second.data;
    text = windows1252::ToText(std::string_view(data).substr(0, data.find('\0')));
  }
  return Success;
}

long FakePlatform::SetText(platform::RegistryHandle key, std::string_view name, std::u16string_view text) {
  long result;
  FakeRegistry::Key* found = registry.Find(key, true, result);
  if (found == nullptr) return result;
  found->values[Folded(name)] = {platform::RegSz, Bytes(text) + '\0', std::u16string(text)};
  return Success;
}

long FakePlatform::CloseKey(platform::RegistryHandle key) {
  return registry.handles.erase(key) != 0 ? Success : InvalidHandle;
}

// ---- Files

void FakeFiles::AddFile(std::string_view path, std::uint32_t attributes) {
  entries[FoldedPath(path)] = {std::string(path), attributes};
}

void FakeFiles::AddFolder(std::string_view path) {
  entries[FoldedPath(path)] = {std::string(path), platform::AttributeDirectory};
}

FakeFiles::Entry* FakeFiles::Find(std::string_view path) {
  const auto found = entries.find(FoldedPath(path));
  return found == entries.end() ? nullptr : &found->second;
}

bool FakeFiles::OnDriveNotReady(std::string_view path) const {
  return path.size() >= 2 && path[1] == ':' && notReady.count(FoldedPath(path.substr(0, 1))[0]) != 0;
}

std::vector<std::uint32_t> FakePlatform::MatchingAttributes(std::u16string_view widePattern) {
  const std::string pattern = Utf8(widePattern);
  files.searches.push_back(pattern);
  std::vector<std::uint32_t> attributes;
  const auto [folder, name] = SplitPath(pattern);
  // Windows takes wildcards only in the last part of the path.
  if (files.OnDriveNotReady(pattern) || name.empty() || HasWildcards(folder)) return attributes;
  const std::string foldedFolder = FoldedPath(folder), foldedName = FoldedPath(name);
  for (const auto& [path, entry] : files.entries) {
    const auto [entryFolder, entryName] = SplitPath(path);
    if (entryFolder == foldedFolder && MatchesPattern(foldedName, entryName)) attributes.push_back(entry.attributes);
  }
  return attributes;
}

bool FakePlatform::SetAttributes(std::u16string_view widePath, std::uint32_t attributes) {
  const std::string path = Utf8(widePath);
  FakeFiles::Entry* entry = HasWildcards(path) || files.OnDriveNotReady(path) ? nullptr : files.Find(path);
  if (entry == nullptr || entry->attributesLocked) return false;
  entry->attributes = (entry->attributes & platform::AttributeDirectory) | attributes;
  return true;
}

bool FakePlatform::DeleteFile(std::u16string_view widePath) {
  const std::string path = Utf8(widePath);
  const FakeFiles::Entry* entry = HasWildcards(path) || files.OnDriveNotReady(path) ? nullptr : files.Find(path);
  if (entry == nullptr || entry->locked ||
      (entry->attributes & (platform::AttributeDirectory | platform::AttributeReadOnly)) != 0) {
    return false;
  }
  files.entries.erase(FoldedPath(path));
  return true;
}

}  // namespace fake
