#include "discovery/result_text.h"

#include <utility>

#include "common/escaped_text.h"
#include "common/utf8.h"
#include "discovery/collection_font_list.h"

namespace kc {
namespace {

constexpr wchar_t kLineEnd[] = L"\r\n";

// The one place where a record's name becomes the text the list shows: its display name, UTF-8
// made from the font's Unicode name or the file's name as Windows stores it, so that it reads
// whole on a Windows of any code page, a name code page 932 cannot spell too. A name comes from
// the font's bytes or the file's name: a line break in it is escaped first, so that it cannot
// start a line of its own that passes for another font.
std::wstring ListedName(const char* displayName) { return WideFromUtf8(EscapedText(displayName, EscapeFor::kDisplay)); }

void AppendLine(std::wstring& text, const std::wstring& line) {
  text += line;
  text += kLineEnd;
}

// The lines of one outcome, in the order of the result text.
struct OutcomeLines {
  std::wstring removed;
  std::wstring removedAtRestart;
  std::wstring stillOnDisk;

  std::wstring& For(RemovalOutcome outcome) {
    switch (outcome) {
      case RemovalOutcome::kRemoved: return removed;
      case RemovalOutcome::kRemovedAtRestart: return removedAtRestart;
      case RemovalOutcome::kStillOnDisk: break;
    }
    return stillOnDisk;  // any value that is not a removal is a font still there
  }
};

void AppendPart(std::wstring& text, const std::wstring& heading, const std::wstring& lines) {
  if (lines.empty()) return;
  if (!text.empty()) text += kLineEnd;  // an empty line sets the part apart
  AppendLine(text, heading);
  text += lines;
}

}  // namespace

std::wstring BuildResultText(const OpenTypeFontList& openTypeFonts, const std::wstring& removedAtRestartHeading,
                             const std::wstring& notRemovedHeading) {
  OutcomeLines lines;
  lines.removed.reserve(openTypeFonts.size() * kFullNameSize);
  for (const OpenTypeFontRecord& record : openTypeFonts) {
    AppendLine(lines.For(record.outcome), ListedName(record.displayName));
  }
  const int32_t count = GetCollectionFontCount();
  for (int32_t i = 0; i < count; ++i) {
    CollectionFontRecord record;
    if (GetCollectionFont(i, record) != 0) continue;
    AppendLine(lines.For(record.outcome), ListedName(record.displayName));
  }

  std::wstring text = std::move(lines.removed);
  AppendPart(text, removedAtRestartHeading, lines.removedAtRestart);
  AppendPart(text, notRemovedHeading, lines.stillOnDisk);
  return text;
}

}  // namespace kc
