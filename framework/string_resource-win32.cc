#include "framework/string_resource-win32.h"

#include "framework/win_app-win32.h"

namespace kc {

HINSTANCE FindStringResourceHandle(UINT id) {
  // Strings are stored sixteen to a block; block n + 1 holds ids 16n to 16n + 15.
  const HINSTANCE module = AfxGetResourceHandle();
  const HRSRC block = FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6));
  return block != nullptr ? module : nullptr;
}

bool LoadResourceString(UINT id, std::wstring& text) {
  const HINSTANCE module = FindStringResourceHandle(id);
  if (module == nullptr) return false;
  // LoadStringW truncates silently; grow the buffer until the text fits with room to spare.
  for (int size = 256; size <= 65536 * 2; size *= 2) {
    std::wstring buffer(static_cast<size_t>(size), L'\0');
    const int copied = LoadStringW(module, id, &buffer[0], size);
    if (copied < size - 1) {
      buffer.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
      text.swap(buffer);
      return true;
    }
  }
  return false;
}

std::wstring LoadResourceTextW(UINT id) {
  std::wstring text;
  LoadResourceString(id, text);
  return text;
}

}  // namespace kc
