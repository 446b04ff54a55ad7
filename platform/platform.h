// The one seam between the program logic and Windows. The logic calls only
// these interfaces; platform/win32/ makes the real calls, and the tests drive
// the same logic through an in-memory fake.
//
// Texts that Windows takes in its 8-bit ("A") form cross the seam as 8-bit
// strings: the logic converts them with its own Windows-1252 table, so the
// conversion is the same in every build and testable natively. Paths are the
// exception: they cross as 16-bit text and reach the W-functions whole, so a
// folder named with letters beyond Windows-1252 (Ł, Cyrillic, Greek) works.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// clang-format off
#include "platform/windows_macros.h"  // before the first method name
// clang-format on
#include "platform/desktop.h"

namespace platform {

// ---- Registry: the A-functions, one call each, with Windows' result codes.

enum class RegistryRoot { CurrentUser, LocalMachine };
enum class RegistryAccess { QueryValue, AllAccess };
using RegistryHandle = std::uintptr_t;  // 0 is no key

inline constexpr long RegistrySuccess = 0;       // ERROR_SUCCESS
inline constexpr long RegistryFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
inline constexpr std::uint32_t RegSz = 1, RegExpandSz = 2, RegBinary = 3, RegDword = 4, RegMultiSz = 7;

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyExA: key stays 0 when the open fails.
  virtual long OpenKey(RegistryRoot root, std::string_view subKey, RegistryAccess access, RegistryHandle& key) = 0;
  // RegQueryInfoKeyA, only its longest-value-data output.
  virtual long QueryMaxValueDataSize(RegistryHandle key, std::uint32_t& size) = 0;
  // RegQueryValueExA. With data null only presence, type and size are asked.
  // On entry *size is the buffer's size; on return the data's size.
  virtual long QueryValue(RegistryHandle key, std::string_view name, std::uint32_t* type, char* data,
                          std::uint32_t* size) = 0;
  // RegCreateKeyA: opens the key, creating what is missing on its path.
  virtual long CreateKey(RegistryRoot root, std::string_view subKey, RegistryHandle& key) = 0;
  // RegSetValueExA.
  virtual long SetValue(RegistryHandle key, std::string_view name, std::uint32_t type, const char* data,
                        std::uint32_t size) = 0;
  // RegDeleteValueA.
  virtual long DeleteValue(RegistryHandle key, std::string_view name) = 0;
  // RegQueryValueExW of a REG_SZ or REG_EXPAND_SZ value, for the values that
  // hold paths: the text without its terminating zero, nothing expanded.
  virtual long QueryText(RegistryHandle key, std::string_view name, std::u16string& text) = 0;
  // RegSetValueExW of a REG_SZ value with its terminating zero.
  virtual long SetText(RegistryHandle key, std::string_view name, std::u16string_view text) = 0;
  // RegCloseKey; closing 0 is allowed and fails quietly.
  virtual long CloseKey(RegistryHandle key) = 0;
};

// ---- Files and the running program.

inline constexpr std::uint32_t AttributeReadOnly = 0x1, AttributeHidden = 0x2, AttributeSystem = 0x4,
                               AttributeDirectory = 0x10, AttributeArchive = 0x20, AttributeNormal = 0x80;

class Files {
 public:
  virtual ~Files() = default;
  // A directory search (FindFirstFileW / FindNextFileW): the attributes of
  // every entry matching the path or pattern; empty when nothing matches or
  // the search fails.
  virtual std::vector<std::uint32_t> MatchingAttributes(std::u16string_view pattern) = 0;
  virtual bool SetAttributes(std::u16string_view path, std::uint32_t attributes) = 0;  // SetFileAttributesW
  virtual bool DeleteFile(std::u16string_view path) = 0;                               // DeleteFileW
  // The folder of the running program file as Windows gives it: no trailing
  // backslash except at the root of a drive.
  virtual std::u16string ProgramFolder() = 0;
  // The program file's name without its extension.
  virtual std::u16string ProgramName() = 0;
};

// ---- Shell.

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteW with the desktop window as owner, no parameters and no
  // working directory; the result is not examined by the program.
  virtual void Execute(std::string_view verb, std::u16string_view target, int showCommand) = 0;
};

// ---- Message boxes.

inline constexpr int MessageBoxOk = 0, MessageBoxExclamation = 48, MessageBoxInformation = 64;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A modal message box; style is the sum of the button and icon values.
  virtual int MessageBox(std::u16string_view text, std::u16string_view caption, int style) = 0;
};

// Everything the logic needs from Windows, handed to it as one object.
class Platform : public Registry,
                 public Files,
                 public Shell,
                 public Dialogs,
                 public Windows,
                 public Tray,
                 public Menus,
                 public Clipboard,
                 public Sound,
                 public Events,
                 public Process,
                 public Forms {};

}  // namespace platform
