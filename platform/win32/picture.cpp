#include "platform/win32/picture.h"

#include <climits>
#include <cstring>
#include <vector>

#include "platform/win32/window_class.h"

namespace platform::win32 {
namespace {

ComPtr<IPicture> PictureFromBytes(const void* bytes, std::size_t size) {
  if (size == 0 || size > LONG_MAX) return nullptr;
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!memory) return nullptr;
  {
    const LockedGlobalMemory locked(memory.get());
    if (locked.data() == nullptr) return nullptr;
    std::memcpy(locked.data(), bytes, size);
  }
  IStream* rawStream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory.get(), TRUE, &rawStream))) return nullptr;
  memory.release();  // the stream frees it now
  const ComPtr<IStream> stream(rawStream);

  void* rawPicture = nullptr;
  if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture, &rawPicture))) {
    return nullptr;
  }
  ComPtr<IPicture> picture(static_cast<IPicture*>(rawPicture));
  // A loader may hand back an empty picture for data it does not know.
  SHORT type = PICTYPE_NONE;
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  if (FAILED(picture->get_Type(&type)) || type == PICTYPE_NONE || type == PICTYPE_UNINITIALIZED) return nullptr;
  if (FAILED(picture->get_Width(&width)) || FAILED(picture->get_Height(&height)) || width <= 0 || height <= 0) {
    return nullptr;
  }
  return picture;
}

// A file read whole; empty when it cannot be read.
std::vector<char> FileBytes(const std::wstring& path) {
  const HANDLE opened =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return {};
  const UniqueKernelHandle file(opened);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > LONG_MAX) return {};
  std::vector<char> bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
    return {};
  }
  return bytes;
}

}  // namespace

ComPtr<IPicture> LoadPictureFile(const std::wstring& path) {
  const std::vector<char> bytes = FileBytes(path);
  return PictureFromBytes(bytes.data(), bytes.size());
}

ComPtr<IPicture> LoadPictureResource(const std::wstring& name) {
  const HRSRC resource = FindResourceW(ProgramModule(), name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (resource == nullptr) return nullptr;
  // Resource memory belongs to the loaded program file: nothing to free.
  const HGLOBAL loaded = LoadResource(ProgramModule(), resource);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return nullptr;
  return PictureFromBytes(bytes, SizeofResource(ProgramModule(), resource));
}

void DrawPicture(IPicture& picture, HDC dc, const RECT& area, bool stretch, int dpi) {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture.get_Width(&width);
  picture.get_Height(&height);
  int targetWidth = area.right - area.left;
  int targetHeight = area.bottom - area.top;
  if (!stretch) {
    constexpr int himetricPerInch = 2540;
    // The window's DPI: a device context reports the system's.
    targetWidth = MulDiv(width, dpi, himetricPerInch);
    targetHeight = MulDiv(height, dpi, himetricPerInch);
  }
  const int saved = SaveDC(dc);
  // Smooth scaling instead of dropped rows and columns.
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  // Picture coordinates run upwards: start at the top edge, negative height.
  picture.Render(dc, area.left, area.top, targetWidth, targetHeight, 0, height, width, -height, &area);
  RestoreDC(dc, saved);
}

}  // namespace platform::win32
