// Registry: the A-functions, one call each, and the W-functions for the
// values that hold paths; results are Windows' own codes.
#include <vector>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

HKEY KeyOf(RegistryHandle key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

long Win32Platform::OpenKey(RegistryRoot root, std::string_view subKey, RegistryAccess access, RegistryHandle& key) {
  key = 0;
  const auto path = ZeroTerminated(subKey);
  if (!path) return ERROR_INVALID_PARAMETER;
  HKEY opened = nullptr;
  const REGSAM rights = access == RegistryAccess::AllAccess ? KEY_ALL_ACCESS : KEY_QUERY_VALUE;
  const LONG result = RegOpenKeyExA(RootKey(root), path->c_str(), 0, rights, &opened);
  if (result == ERROR_SUCCESS) key = reinterpret_cast<RegistryHandle>(opened);
  return result;
}

long Win32Platform::QueryMaxValueDataSize(RegistryHandle key, std::uint32_t& size) {
  DWORD longest = 0;
  const LONG result = RegQueryInfoKeyA(KeyOf(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, &longest, nullptr, nullptr);
  if (result == ERROR_SUCCESS) size = longest;
  return result;
}

long Win32Platform::QueryValue(RegistryHandle key, std::string_view name, std::uint32_t* type, char* data,
                               std::uint32_t* size) {
  const auto valueName = ZeroTerminated(name);
  if (!valueName) return ERROR_INVALID_PARAMETER;
  DWORD valueType = 0;
  DWORD valueSize = size != nullptr ? *size : 0;
  const LONG result = RegQueryValueExA(KeyOf(key), valueName->c_str(), nullptr, &valueType,
                                       reinterpret_cast<BYTE*>(data), size != nullptr ? &valueSize : nullptr);
  if (type != nullptr) *type = valueType;
  if (size != nullptr) *size = valueSize;
  return result;
}

long Win32Platform::CreateKey(RegistryRoot root, std::string_view subKey, RegistryHandle& key) {
  key = 0;
  const auto path = ZeroTerminated(subKey);
  if (!path) return ERROR_INVALID_PARAMETER;
  HKEY created = nullptr;
  const LONG result = RegCreateKeyA(RootKey(root), path->c_str(), &created);
  if (result == ERROR_SUCCESS) key = reinterpret_cast<RegistryHandle>(created);
  return result;
}

long Win32Platform::SetValue(RegistryHandle key, std::string_view name, std::uint32_t type, const char* data,
                             std::uint32_t size) {
  const auto valueName = ZeroTerminated(name);
  if (!valueName) return ERROR_INVALID_PARAMETER;
  return RegSetValueExA(KeyOf(key), valueName->c_str(), 0, type, reinterpret_cast<const BYTE*>(data), size);
}

long Win32Platform::DeleteValue(RegistryHandle key, std::string_view name) {
  const auto valueName = ZeroTerminated(name);
  if (!valueName) return ERROR_INVALID_PARAMETER;
  return RegDeleteValueA(KeyOf(key), valueName->c_str());
}

long Win32Platform::QueryText(RegistryHandle key, std::string_view name, std::u16string& text) {
  text.clear();
  const auto valueName = ZeroTerminated(name);
  if (!valueName) return ERROR_INVALID_PARAMETER;
  const std::wstring wideName = AsciiWide(*valueName);
  DWORD type = 0, size = 0;
  LONG result = RegQueryValueExW(KeyOf(key), wideName.c_str(), nullptr, &type, nullptr, &size);
  std::vector<wchar_t> buffer;
  // A value that grows between the two calls is asked for again.
  while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_UNSUPPORTED_TYPE;
    buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    result =
        RegQueryValueExW(KeyOf(key), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result == ERROR_SUCCESS) break;
  }
  if (result != ERROR_SUCCESS) return result;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_UNSUPPORTED_TYPE;
  // Stored with or without its zero: the text ends at the first one.
  const std::wstring_view data(buffer.data(), size / sizeof(wchar_t));
  text = SeamText(data.substr(0, data.find(L'\0')));
  return ERROR_SUCCESS;
}

long Win32Platform::SetText(RegistryHandle key, std::string_view name, std::u16string_view text) {
  const auto valueName = ZeroTerminated(name);
  if (!valueName) return ERROR_INVALID_PARAMETER;
  const std::wstring wideName = AsciiWide(*valueName);
  const std::wstring data = WideText(text);
  return RegSetValueExW(KeyOf(key), wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

long Win32Platform::CloseKey(RegistryHandle key) { return RegCloseKey(KeyOf(key)); }

}  // namespace platform::win32
