#include "fake_platform.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

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

}  // namespace

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
  }
  return folded;
}

std::string Bytes(std::u16string_view text) { return windows1252::FromText(text); }

std::string Utf8(std::u16string_view path) { return utf16::EncodeUtf8(path); }

StoredValue TextValue(std::u16string_view text) { return {platform::RegSz, Bytes(text) + '\0', std::u16string(text)}; }

// ---- Registry

void FakeRegistry::Put(Root root, std::string_view path, std::string_view name, std::uint32_t type,
                       std::string_view data) {
  keys[KeyId(root, path)][Folded(name)] = {type, std::string(data)};
}

void FakeRegistry::PutText(Root root, std::string_view path, std::string_view name, std::u16string_view text) {
  keys[KeyId(root, path)][Folded(name)] = TextValue(text);
}

std::optional<StoredValue> FakeRegistry::Get(Root root, std::string_view path, std::string_view name) const {
  const auto key = keys.find(KeyId(root, path));
  if (key == keys.end()) return std::nullopt;
  const auto value = key->second.find(Folded(name));
  if (value == key->second.end()) return std::nullopt;
  return value->second;
}

FakeRegistry::Key* FakeRegistry::Find(platform::RegistryHandle key, bool forWriting) {
  const auto handle = handles.find(key);
  if (handle == handles.end() || (forWriting && !handle->second.writable)) return nullptr;
  return &keys[handle->second.keyId];
}

const StoredValue* FakeRegistry::Find(platform::RegistryHandle key, std::string_view name) {
  const Key* found = Find(key, false);
  if (found == nullptr) return nullptr;
  const auto value = found->find(Folded(name));
  return value == found->end() ? nullptr : &value->second;
}

platform::RegistryHandle FakeRegistry::Open(Root root, std::string_view path, bool writable) {
  handles[nextHandle] = {KeyId(root, path), writable};
  return nextHandle++;
}

long FakePlatform::OpenKey(platform::RegistryRoot root, std::string_view subKey, platform::RegistryAccess access,
                           platform::RegistryHandle& key) {
  key = 0;
  if (registry.keys.count(KeyId(root, subKey)) == 0) return FileNotFound;
  key = registry.Open(root, subKey, access == platform::RegistryAccess::AllAccess);
  return Success;
}

long FakePlatform::CreateKey(platform::RegistryRoot root, std::string_view subKey, platform::RegistryHandle& key) {
  registry.keys[KeyId(root, subKey)];
  key = registry.Open(root, subKey, true);
  return Success;
}

long FakePlatform::QueryMaxValueDataSize(platform::RegistryHandle key, std::uint32_t& size) {
  const FakeRegistry::Key* found = registry.Find(key, false);
  if (found == nullptr) return InvalidHandle;
  size = 0;
  for (const auto& [name, value] : *found) size = std::max(size, static_cast<std::uint32_t>(value.data.size()));
  return Success;
}

long FakePlatform::QueryValue(platform::RegistryHandle key, std::string_view name, std::uint32_t* type, char* data,
                              std::uint32_t* size) {
  const StoredValue* value = registry.Find(key, name);
  if (value == nullptr) return FileNotFound;
  if (type != nullptr) *type = value->type;
  // Without a buffer only the size is asked.
  const bool fits = data == nullptr || *size >= value->data.size();
  if (data != nullptr && fits) std::copy(value->data.begin(), value->data.end(), data);
  *size = static_cast<std::uint32_t>(value->data.size());
  return fits ? Success : MoreData;
}

long FakePlatform::QueryText(platform::RegistryHandle key, std::string_view name, std::u16string& text) {
  const StoredValue* value = registry.Find(key, name);
  text = value != nullptr ? value->wide : u"";
  return value != nullptr ? Success : FileNotFound;
}

long FakePlatform::SetValue(platform::RegistryHandle key, std::string_view name, std::uint32_t type, const char* data,
                            std::uint32_t size) {
  FakeRegistry::Key* found = registry.Find(key, true);
  if (found == nullptr) return AccessDenied;
  (*found)[Folded(name)] = {type, std::string(data, size)};
  return Success;
}

long FakePlatform::SetText(platform::RegistryHandle key, std::string_view name, std::u16string_view text) {
  FakeRegistry::Key* found = registry.Find(key, true);
  if (found == nullptr) return AccessDenied;
  (*found)[Folded(name)] = TextValue(text);
  return Success;
}

long FakePlatform::DeleteValue(platform::RegistryHandle key, std::string_view name) {
  FakeRegistry::Key* found = registry.Find(key, true);
  if (found == nullptr) return AccessDenied;
  return found->erase(Folded(name)) != 0 ? Success : FileNotFound;
}

// ---- Files

std::vector<std::uint32_t> FakePlatform::MatchingAttributes(std::u16string_view widePattern) {
  const std::string pattern = Utf8(widePattern);
  std::vector<std::uint32_t> attributes;
  const auto [folder, name] = SplitPath(pattern);
  const std::string foldedFolder = Folded(folder), foldedName = Folded(name);
  for (const auto& [path, entry] : files.entries) {
    const auto [entryFolder, entryName] = SplitPath(path);
    if (entryFolder == foldedFolder && MatchesPattern(foldedName, entryName)) attributes.push_back(entry.attributes);
  }
  return attributes;
}

bool FakePlatform::SetAttributes(std::u16string_view path, std::uint32_t attributes) {
  FakeFiles::Entry* entry = files.Find(Utf8(path));
  if (entry == nullptr || entry->attributesLocked) return false;
  entry->attributes = (entry->attributes & platform::AttributeDirectory) | attributes;
  return true;
}

bool FakePlatform::DeleteFile(std::u16string_view widePath) {
  const std::string path = Utf8(widePath);
  const FakeFiles::Entry* entry = files.Find(path);
  if (entry == nullptr || (entry->attributes & (platform::AttributeDirectory | platform::AttributeReadOnly)) != 0) {
    return false;
  }
  files.entries.erase(Folded(path));
  return true;
}

// ---- Desktop

std::intptr_t FakePlatform::CallWindowProc(std::intptr_t procedure, platform::WindowHandle window,
                                           std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (const auto hook = windows.hooks.find(procedure); hook != windows.hooks.end()) {
    return hook->second->WindowProc(window, message, wParam, lParam);
  }
  if (procedure != FakeWindows::OriginalProcedure(window)) return 0;
  windows.passedOn.push_back({window, message, wParam, lParam});
  if (message == platform::MessageClose) {
    for (auto& [id, form] : forms.forms) {
      if (form.window == window) forms.CloseBox(id);
    }
  }
  return FakeWindows::OriginalResult(message);
}

int FakePlatform::ShowPopupMenu(platform::WindowHandle owner, const std::vector<platform::MenuItem>& items, int flags,
                                int yTwips) {
  menus.showings.push_back({owner, items, flags, yTwips});
  const auto choose = TakeFirst(menus.choices);
  return choose ? choose() : -1;
}

std::vector<std::string> FakeSound::Names() const {
  std::vector<std::string> names;
  for (const std::u16string& path : played) {
    std::u16string name = path.substr(path.find_last_of(u'\\') + 1);
    if (name.ends_with(u".WAV")) name.resize(name.size() - 4);
    names.emplace_back(name.begin(), name.end());
  }
  return names;
}

FakeForms::Control& FakeForms::Form::Find(std::string_view name, int index) {
  for (Control& control : controls) {
    if (control.spec.name == name && control.spec.index == index) return control;
  }
  throw std::out_of_range("no control " + std::string(name) + "(" + std::to_string(index) + ")");
}

platform::FormId FakePlatform::LoadForm(const platform::FormSpec& spec, platform::FormEvents& events) {
  const platform::FormId id = forms.nextId++;
  FakeForms::Form& form = forms.forms[id];
  form.events = &events;
  form.window = 0x100 + 16 * static_cast<platform::WindowHandle>(id);
  form.caption = spec.caption;
  form.loaded = true;
  // A fixed frame of 3 pixels and a title bar of 23 pixels.
  form.bounds = {0, 0, spec.clientWidth + 6 * 15, spec.clientHeight + 29 * 15};
  for (const platform::ControlSpec& control : spec.controls) {
    form.controls.push_back({control, control.caption, control.width, control.visible, 0, u""});
  }
  return id;
}

void FakePlatform::ShowForm(platform::FormId id, bool modal) {
  FakeForms::Form& form = forms.forms.at(id);
  form.visible = true;
  ++form.showings;
  if (!modal) return;
  if (const auto act = TakeFirst(forms.modalActions)) act(id);
  forms.CloseBox(id);
}

}  // namespace fake
