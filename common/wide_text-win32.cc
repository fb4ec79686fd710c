#include <windows.h>

#include "common/wide_text.h"

namespace kc {
namespace {

std::wstring WideFrom(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), length, &wide[0], units);
  return wide;
}

}  // namespace

std::wstring WideFromCp932(const std::string& text) { return WideFrom(932, text); }

std::wstring WideFromSystemAnsi(const std::string& text) { return WideFrom(CP_ACP, text); }

}  // namespace kc
