// Pictures for the image controls: JPEG (or any format OleLoadPicture reads)
// from a file or from a resource of the program, drawn into a rectangle.
#pragma once

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/windows_api.h"
// After windows.h, which it needs.
#include <olectl.h>

namespace platform::win32 {

// Nothing when the file cannot be read or decoded.
ComPtr<IPicture> LoadPictureFile(const std::wstring& path);
// An RCDATA resource of the running program; nothing when it is missing.
ComPtr<IPicture> LoadPictureResource(const std::wstring& name);
// Stretched to the rectangle, or at its own size at `dpi` from its top left corner.
void DrawPicture(IPicture& picture, HDC dc, const RECT& area, bool stretch, int dpi);

}  // namespace platform::win32
