#include "discovery/result_text.h"

#include <utility>

#include "common/escaped_text.h"
#include "discovery/collection_font_list.h"

namespace kc {
namespace {

constexpr char kLineEnd[] = "\r\n";

void AppendLine(std::string& text, const char* line) {
  text += line;
  text += kLineEnd;
}

// A name comes from the font's bytes or the file's name: a line break in it must not start a line
// of its own that passes for another font.
void AppendNameLine(std::string& text, const char* name) {
  text += EscapedText(name, EscapeFor::kDisplay);
  text += kLineEnd;
}

// The lines of one outcome, in the order of the result text.
struct OutcomeLines {
  std::string removed;
  std::string removedAtRestart;
  std::string stillOnDisk;

  std::string& For(RemovalOutcome outcome) {
    switch (outcome) {
      case RemovalOutcome::kRemoved: return removed;
      case RemovalOutcome::kRemovedAtRestart: return removedAtRestart;
      case RemovalOutcome::kStillOnDisk: break;
    }
    return stillOnDisk;  // any value that is not a removal is a font still there
  }
};

void AppendPart(std::string& text, const std::string& heading, const std::string& lines) {
  if (lines.empty()) return;
  if (!text.empty()) text += kLineEnd;  // an empty line sets the part apart
  AppendLine(text, heading.c_str());
  text += lines;
}

}  // namespace

std::string BuildResultText(const OpenTypeFontList& openTypeFonts, const std::string& removedAtRestartHeading,
                            const std::string& notRemovedHeading) {
  OutcomeLines lines;
  lines.removed.reserve(openTypeFonts.size() * kFullNameSize);
  for (const OpenTypeFontRecord& record : openTypeFonts) AppendNameLine(lines.For(record.outcome), record.fullName);
  const int32_t count = GetCollectionFontCount();
  for (int32_t i = 0; i < count; ++i) {
    CollectionFontRecord record;
    if (GetCollectionFont(i, record) != 0) continue;
    AppendNameLine(lines.For(record.outcome), record.fileName);
  }

  std::string text = std::move(lines.removed);
  AppendPart(text, removedAtRestartHeading, lines.removedAtRestart);
  AppendPart(text, notRemovedHeading, lines.stillOnDisk);
  return text;
}

}  // namespace kc
