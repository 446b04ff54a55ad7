// An open registry key that is closed again when it goes out of scope, so no
// handle outlives the call that opened it.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace RXSAMMLUNG {

class RegistryKey {
 public:
  struct CreateMissing {};

  RegistryKey(platform::Registry& registry, platform::RegistryRoot root, std::string_view subKey,
              platform::RegistryAccess access)
      : registry_(registry), result_(registry.OpenKey(root, subKey, access, handle_)) {}

  // Opens the key with RegCreateKeyA, creating whatever is missing on its path.
  RegistryKey(platform::Registry& registry, platform::RegistryRoot root, std::string_view subKey, CreateMissing)
      : registry_(registry), result_(registry.CreateKey(root, subKey, handle_)) {}

  ~RegistryKey() {
    if (handle_ != 0) registry_.CloseKey(handle_);
  }

  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool IsOpen() const { return result_ == platform::RegistrySuccess && handle_ != 0; }
  platform::RegistryHandle Handle() const { return handle_; }

 private:
  platform::Registry& registry_;
  platform::RegistryHandle handle_ = 0;  // declared before result_: the open call fills it
  long result_;
};

}  // namespace RXSAMMLUNG
