// Icons from the program's resources at the sizes a DPI asks for: the small
// one of title bars and the notification area, and the large one of Alt+Tab.
#pragma once

#include <map>

#include "platform/win32/handles.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

struct IconPair {
  HICON big = nullptr;    // Alt+Tab and the like
  HICON title = nullptr;  // the title bar and the notification area
};

// The icon resource `name` at `size` pixels square. An image of another size
// is scaled down from a larger one where Windows can (LoadIconWithScaleDown,
// Vista's common controls), else as LoadImage does.
UniqueIcon LoadIconOfSize(const wchar_t* name, int size);

// Both sizes of an icon resource for `dpi`, owned together.
class IconsForDpi {
 public:
  IconsForDpi() = default;
  IconsForDpi(const wchar_t* name, UINT dpi);

  IconPair get() const { return {big_.get(), title_.get()}; }

 private:
  UniqueIcon big_, title_;
};

// The program icon, loaded once for each DPI it is asked for.
class ProgramIcons {
 public:
  IconPair ForDpi(UINT dpi);
  // True for any handle this has handed out.
  bool Holds(HICON icon) const;

 private:
  std::map<UINT, IconsForDpi> loaded_;
};

}  // namespace platform::win32
