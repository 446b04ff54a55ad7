// Entry point of velumor-encode; the work is done in encode_tool.cpp.
#include <iostream>
#include <string>
#include <vector>

#include "encode_tool.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "core/utf8.h"

// wmain: arguments arrive as UTF-16 whatever the console's code page is.
int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    args.push_back(utf8::EncodeUtf8(std::u16string(reinterpret_cast<const char16_t*>(argv[i]))));
  }
  return cli::RunEncodeTool(args, std::cin, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return cli::RunEncodeTool(std::vector<std::string>(argv + 1, argv + argc), cli::StandardInput(std::cin, 0), std::cout,
                            std::cerr);
}
#endif
