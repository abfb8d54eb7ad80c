#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <climits>
#include <cstdio>

#include "tools/lsp/standard_input.h"

namespace wander::lsp {

void use_binary_standard_streams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

std::ptrdiff_t read_standard_input(char* buffer, std::size_t size) {
  return _read(_fileno(stdin), buffer, static_cast<unsigned>(size < INT_MAX ? size : INT_MAX));
}

bool standard_input_waiting() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD available = 0;
  // Editors start the server on pipes; a file cannot be looked into, and is all there already.
  if (GetFileType(input) != FILE_TYPE_PIPE) return false;
  return PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr) && available > 0;
}

}  // namespace wander::lsp
