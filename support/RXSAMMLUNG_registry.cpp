// Single registry values through the A-functions: test, read as text, write,
// delete. Texts cross as Windows-1252, whatever code page the system has, so
// the program's own settings are stored byte for byte the same everywhere.
// Values that hold paths go through the W-functions instead.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/windows1252.h"
#include "support/RXSAMMLUNG.h"
#include "support/registry_key.h"

namespace RXSAMMLUNG {
namespace {

using platform::RegistryAccess;

bool IsStringType(std::uint32_t type) {
  return type == platform::RegSz || type == platform::RegExpandSz || type == platform::RegMultiSz;
}

}  // namespace

bool RegValueExists(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                    std::u16string_view name) {
  const RegistryKey key(os, root, windows1252::FromText(subKey), RegistryAccess::QueryValue);
  if (!key.IsOpen()) return false;
  std::uint32_t size = 0;  // no buffer: asks only for presence, so empty data counts as present
  return os.QueryValue(key.Handle(), windows1252::FromText(name), nullptr, nullptr, &size) == platform::RegistrySuccess;
}

std::u16string RegGetString(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                            std::u16string_view name) {
  const RegistryKey key(os, root, windows1252::FromText(subKey), RegistryAccess::QueryValue);
  if (!key.IsOpen()) return {};

  std::uint32_t longest = 0;
  os.QueryMaxValueDataSize(key.Handle(), longest);
  // One byte more than the longest value, blank-filled; counted in size_t so
  // that the extra byte cannot wrap round.
  std::vector<char> buffer(static_cast<std::size_t>(longest) + 1, ' ');
  std::uint32_t size = static_cast<std::uint32_t>(std::min<std::size_t>(buffer.size(), UINT32_MAX));
  std::uint32_t type = 0;
  // Only a successful read counts: a value that grew since the size was asked
  // (more data) or any other failure would otherwise give a bogus length.
  if (os.QueryValue(key.Handle(), windows1252::FromText(name), &type, buffer.data(), &size) !=
      platform::RegistrySuccess) {
    return {};
  }
  std::size_t length = std::min<std::size_t>(size, buffer.size());
  // Windows does not guarantee the terminating zero of the string types, so
  // only a zero that is really there is dropped; a value stored without one
  // keeps its last character.
  if (IsStringType(type) && length > 0 && buffer[length - 1] == '\0') --length;
  return windows1252::ToText(std::string_view(buffer.data(), length));
}

void RegPutValue(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                 std::u16string_view name, std::u16string_view data, std::uint32_t type) {
  const RegistryKey key(os, root, windows1252::FromText(subKey), RegistryKey::CreateMissing{});
  if (!key.IsOpen()) return;
  // The byte count is taken from the converted data, which the string's own
  // zero follows: a surrogate pair becomes one "?", so counting characters
  // would reach past the end.
  const std::string bytes = windows1252::FromText(data);
  const auto count = static_cast<std::uint32_t>(bytes.size() + (IsStringType(type) ? 1 : 0));
  os.SetValue(key.Handle(), windows1252::FromText(name), type, bytes.c_str(), count);
}

std::u16string RegGetText(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                          std::u16string_view name) {
  const RegistryKey key(os, root, windows1252::FromText(subKey), RegistryAccess::QueryValue);
  std::u16string text;
  if (!key.IsOpen() || os.QueryText(key.Handle(), windows1252::FromText(name), text) != platform::RegistrySuccess) {
    return {};
  }
  return text;
}

void RegPutText(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                std::u16string_view name, std::u16string_view text) {
  const RegistryKey key(os, root, windows1252::FromText(subKey), RegistryKey::CreateMissing{});
  if (key.IsOpen()) os.SetText(key.Handle(), windows1252::FromText(name), text);
}

void RegRemoveValue(platform::Platform& os, platform::RegistryRoot root, std::u16string_view subKey,
                    std::u16string_view name) {
  const RegistryKey key(os, root, windows1252::FromText(subKey), RegistryAccess::AllAccess);
  if (!key.IsOpen()) return;
  os.DeleteValue(key.Handle(), windows1252::FromText(name));
}

}  // namespace RXSAMMLUNG
