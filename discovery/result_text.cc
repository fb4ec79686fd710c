#include "discovery/result_text.h"

namespace kc {
namespace {

constexpr char kLineEnd[] = "\r\n";

void AppendLine(std::string& text, const char* line) {
  text += line;
  text += kLineEnd;
}

}  // namespace

std::string BuildResultText(const OpenTypeFontList& openTypeFonts, const std::string& notRemovedHeading) {
  std::string removed;
  std::string notRemoved;
  removed.reserve(openTypeFonts.size() * kFullNameSize);
  for (const OpenTypeFontRecord& record : openTypeFonts) {
    AppendLine(record.removed ? removed : notRemoved, record.fullName);
  }
  const int32_t count = GetCollectionFontCount();
  for (int32_t i = 0; i < count; ++i) {
    CollectionFontRecord record;
    if (GetCollectionFont(i, record) != 0) continue;
    AppendLine(record.removed ? removed : notRemoved, record.fileName);
  }
  if (notRemoved.empty()) return removed;

  std::string text = removed;
  if (!text.empty()) text += kLineEnd;  // an empty line sets the failures apart
  AppendLine(text, notRemovedHeading.c_str());
  return text + notRemoved;
}

}  // namespace kc
