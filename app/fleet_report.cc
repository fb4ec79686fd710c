#include "app/fleet_report.h"

#include <algorithm>
#include <tuple>

#include "app/run_log_text.h"
#include "common/escaped_text.h"

namespace kc {
namespace {

// The first line and its line end after a byte-order mark; the last two lines and the byte before.
constexpr size_t kHeadBytes = 3 + kLogLineMax + 2;
constexpr size_t kTailBytes = 2 * (kLogLineMax + 2);

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a hexadecimal digit, or -1.
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A cursor over one event: each step either matches and moves on, or fails and the parse ends.
class Cursor {
 public:
  explicit Cursor(const std::string& text) : text_(text) {}

  bool Literal(const char* literal) {
    const std::string expected(literal);
    if (text_.compare(at_, expected.size(), expected) != 0) return false;
    at_ += expected.size();
    return true;
  }
  // The text up to `end` (not empty), and `end` itself.
  bool Until(const char* end, std::string& out) {
    const size_t found = text_.find(end, at_);
    if (found == std::string::npos || found == at_) return false;
    out = text_.substr(at_, found - at_);
    at_ = found + std::char_traits<char>::length(end);
    return true;
  }
  // A number as the program writes it: no sign, no leading zero, at most `maxDigits` digits.
  bool Number(size_t maxDigits, uint64_t& out) {
    size_t end = at_;
    while (end < text_.size() && IsDigit(text_[end])) ++end;
    const size_t digits = end - at_;
    if (digits == 0 || digits > maxDigits || (digits > 1 && text_[at_] == '0')) return false;
    out = 0;
    for (; at_ < end; ++at_) out = out * 10 + static_cast<uint64_t>(text_[at_] - '0');
    return true;
  }
  bool Count(int& out) {
    uint64_t value = 0;
    if (!Number(9, value)) return false;
    out = static_cast<int>(value);
    return true;
  }
  std::string Rest() {
    std::string rest = text_.substr(at_);
    at_ = text_.size();
    return rest;
  }
  bool AtEnd() const { return at_ == text_.size(); }

 private:
  const std::string& text_;
  size_t at_ = 0;
};

// The log writes '"' and '%' as %22 and %25 (and every control character and lone lead byte of
// code page 932 so); printable ASCII reads back as itself, the rest stays escaped: those bytes
// were the ANSI code page of the PC that wrote the log, not UTF-8.
std::string LogFieldText(const std::string& escaped) {
  std::string text;
  text.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] == '%' && i + 2 < escaped.size() && HexValue(escaped[i + 1]) >= 0 && HexValue(escaped[i + 2]) >= 0) {
      const int value = HexValue(escaped[i + 1]) * 16 + HexValue(escaped[i + 2]);
      if (value >= 0x20 && value <= 0x7E) {
        text += static_cast<char>(value);
        i += 2;
        continue;
      }
    }
    text += escaped[i];
  }
  return text;
}

// The real version: RtlGetVersion's numbers, with GetVersionExA's service pack where both tell the
// same numbers; GetVersionExA's where RtlGetVersion could not be had ("?").
std::string RealWindows(const StartEvent& start) {
  if (start.actualWindows == "?") return start.windows;
  if (start.windows.compare(0, start.actualWindows.size() + 1, start.actualWindows + " ") == 0) return start.windows;
  return start.actualWindows;
}

LogVerdict VerdictOf(const FleetRow& row, bool ended, uint32_t code) {
  if (!ended || !row.hasSummary) return LogVerdict::kNotDone;
  const bool preview = row.mode == "preview";
  if (row.summary.preview != preview) return LogVerdict::kNotDone;
  if (preview) {
    if (code != kExitDone && code != kExitPreviewFound) return LogVerdict::kNotDone;
    return row.summary.found > 0 ? LogVerdict::kFontsLeft : LogVerdict::kClean;
  }
  // 5 and 6 say the run, or its log, did not finish; the dialog program ends with 0 whatever.
  if (code != kExitDone && code != kExitFontsLeft && code != kExitRestartNeeded) return LogVerdict::kNotDone;
  if (row.summary.stillOnDisk > 0) return LogVerdict::kFontsLeft;
  return row.summary.atRestart > 0 ? LogVerdict::kAtRestart : LogVerdict::kClean;
}

// The lines of `bytes` that end in a line end (LF, a CR before it dropped); `rest` gets what
// follows the last line end, a line the writer did not finish.
std::vector<std::string> EndedLines(const std::string& bytes, size_t from, std::string& rest) {
  std::vector<std::string> lines;
  while (from < bytes.size()) {
    const size_t end = bytes.find('\n', from);
    if (end == std::string::npos) break;
    lines.push_back(bytes.substr(from, end - from));
    if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
    from = end + 1;
  }
  rest = bytes.substr(std::min(from, bytes.size()));
  return lines;
}

// The length of the valid UTF-8 sequence at `p` (of `left` bytes), or 0.
size_t Utf8Length(const unsigned char* p, size_t left) {
  auto trail = [&](size_t i, unsigned char low, unsigned char high) { return i < left && p[i] >= low && p[i] <= high; };
  if (p[0] < 0x80) return 1;
  if (p[0] >= 0xC2 && p[0] <= 0xDF) return trail(1, 0x80, 0xBF) ? 2 : 0;
  if (p[0] >= 0xE0 && p[0] <= 0xEF) {
    const unsigned char low = p[0] == 0xE0 ? 0xA0 : 0x80,
                        high = p[0] == 0xED ? 0x9F : 0xBF;  // no overlong, no surrogate
    return trail(1, low, high) && trail(2, 0x80, 0xBF) ? 3 : 0;
  }
  if (p[0] >= 0xF0 && p[0] <= 0xF4) {
    const unsigned char low = p[0] == 0xF0 ? 0x90 : 0x80, high = p[0] == 0xF4 ? 0x8F : 0xBF;
    return trail(1, low, high) && trail(2, 0x80, 0xBF) && trail(3, 0x80, 0xBF) ? 4 : 0;
  }
  return 0;
}

// What Excel takes for the start of a formula, in UTF-8: = + - @ and the full-width ＝ ＋ － ＠,
// which an input method gives a Japanese user.
bool BeginsLikeAFormula(const std::string& text) {
  if (text.empty()) return false;
  if (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@') return true;
  for (const char* wide : {"\xEF\xBC\x9D", "\xEF\xBC\x8B", "\xEF\xBC\x8D", "\xEF\xBC\xA0"}) {
    if (text.compare(0, 3, wide) == 0) return true;
  }
  return false;
}

std::string CountField(const FleetRow& row, int count) { return row.hasSummary ? std::to_string(count) : ""; }

}  // namespace

bool SplitLogLine(const std::string& line, LogLine& out) {
  static const char kShape[] = "0000-00-00 00:00:00.000 ";  // 0: a digit
  const size_t stamp = sizeof kShape - 1;
  if (line.size() > kLogLineMax || line.size() <= stamp) return false;
  for (size_t i = 0; i < stamp; ++i) {
    if (kShape[i] == '0' ? !IsDigit(line[i]) : line[i] != kShape[i]) return false;
  }
  out.time = line.substr(0, stamp - 1);
  out.event = line.substr(stamp);
  return true;
}

bool ParseStartEvent(const std::string& event, StartEvent& out) {
  Cursor c(event);
  StartEvent start;
  if (!c.Literal("start \"") || !c.Until("\" ", start.program) || !c.Until(", ", start.version) ||
      !c.Until(" mode; Windows ", start.mode) || !c.Until(" (RtlGetVersion: ", start.windows) ||
      !c.Until("); user \"", start.actualWindows) || !c.Until("\" on \"", start.user) ||
      !c.Until("\"; drives ", start.computer)) {
    return false;
  }
  start.drives = c.Rest();
  if (start.mode != "dialog" && start.mode != "silent" && start.mode != "preview") return false;
  // A quoted text holds no quote: one in it means the line was not written as the program writes.
  for (const std::string* quoted : {&start.program, &start.user, &start.computer}) {
    if (quoted->find('"') != std::string::npos) return false;
  }
  out = start;
  return true;
}

bool ParseSummaryEvent(const std::string& event, SummaryEvent& out) {
  Cursor c(event);
  SummaryEvent summary;
  if (!c.Literal("summary: ") || !c.Count(summary.found) || !c.Literal(" product fonts found")) return false;
  if (c.Literal("; a preview removes nothing")) {
    summary.preview = true;
  } else if (!c.Literal(": ") || !c.Count(summary.removed) || !c.Literal(" removed, ") || !c.Count(summary.atRestart) ||
             !c.Literal(" to be removed at the next restart, ") || !c.Count(summary.stillOnDisk) ||
             !c.Literal(" still on disk")) {
    return false;
  }
  if (!c.AtEnd()) return false;
  out = summary;
  return true;
}

bool ParseExitCodeEvent(const std::string& event, uint32_t& code) {
  Cursor c(event);
  uint64_t value = 0;
  if (!c.Literal("exit code ") || !c.Number(10, value) || !c.AtEnd() || value > 0xFFFFFFFFu) return false;
  code = static_cast<uint32_t>(value);
  return true;
}

FleetRow UnreadLogRow(const std::string& logName, bool unreadable) {
  FleetRow row;
  row.log = logName;
  row.exitCode = unreadable ? "unreadable" : "not a log";
  return row;
}

FleetRow ReadFleetLog(const std::string& logName, uint64_t size, const ReadLogBytes& read) {
  std::string head;
  if (!read(0, static_cast<size_t>(std::min<uint64_t>(size, kHeadBytes)), head)) return UnreadLogRow(logName, true);
  head.resize(std::min<size_t>(head.size(), kHeadBytes));
  const size_t first = head.compare(0, 3, kUtf8ByteOrderMark) == 0 ? 3 : 0;
  const size_t firstEnd = head.find('\n', first);
  if (firstEnd == std::string::npos) return UnreadLogRow(logName, false);
  std::string firstLine = head.substr(first, firstEnd - first);
  if (!firstLine.empty() && firstLine.back() == '\r') firstLine.pop_back();
  LogLine line;
  StartEvent start;
  if (!SplitLogLine(firstLine, line) || !ParseStartEvent(line.event, start)) return UnreadLogRow(logName, false);

  FleetRow row;
  row.log = logName;
  row.computer = LogFieldText(start.computer);
  row.user = LogFieldText(start.user);
  row.mode = start.mode;
  row.started = line.time;
  row.windows = LogFieldText(RealWindows(start));

  // The end of the file, never before the second line, from the byte before it: whatever precedes
  // the first line end there belongs to a line that began earlier (that byte is a line end when
  // the tail begins a line).
  const uint64_t second = firstEnd + 1;
  const uint64_t from = size > second && size - second > kTailBytes ? size - kTailBytes : second;
  std::string tail;
  if (!read(from - 1, static_cast<size_t>(std::min<uint64_t>(size - (from - 1), kTailBytes + 1)), tail)) {
    return UnreadLogRow(logName, true);
  }
  tail.resize(std::min<size_t>(tail.size(), kTailBytes + 1));
  const size_t begun = tail.find('\n');
  std::string unfinished;
  const std::vector<std::string> lines =
      begun == std::string::npos ? std::vector<std::string>() : EndedLines(tail, begun + 1, unfinished);
  // A line without its line end may be cut anywhere ("exit code 30" of 3010): only ended lines count.
  const bool lastEnded = begun != std::string::npos && unfinished.empty();

  uint32_t code = 0;
  LogLine last;
  const bool ended =
      lastEnded && !lines.empty() && SplitLogLine(lines.back(), last) && ParseExitCodeEvent(last.event, code);
  row.exitCode = ended ? std::to_string(code) : "incomplete";
  // The summary is the line before the exit code. Without one, it may be the last line (a run
  // stopped right after it) or the line before a last line that is damaged.
  const size_t n = lines.size();
  LogLine summaryLine;
  for (size_t back = ended ? 2 : 1; back <= 2 && back <= n && !row.hasSummary; ++back) {
    row.hasSummary = SplitLogLine(lines[n - back], summaryLine) && ParseSummaryEvent(summaryLine.event, row.summary);
  }
  row.verdict = VerdictOf(row, ended, code);
  return row;
}

void SortFleetRows(std::vector<FleetRow>& rows) {
  std::stable_sort(rows.begin(), rows.end(), [](const FleetRow& a, const FleetRow& b) {
    return std::tie(a.computer, a.started, a.log) < std::tie(b.computer, b.started, b.log);
  });
}

ReportTally TallyOf(const std::vector<FleetRow>& rows) {
  ReportTally tally;
  for (const FleetRow& row : rows) {
    switch (row.verdict) {
      case LogVerdict::kClean: ++tally.clean; break;
      case LogVerdict::kAtRestart: ++tally.atRestart; break;
      case LogVerdict::kFontsLeft: ++tally.fontsLeft; break;
      case LogVerdict::kNotDone: ++tally.notDone; break;
      case LogVerdict::kNotALog: ++tally.notALog; break;
    }
  }
  return tally;
}

std::string FleetCsvHeader() {
  return "computer,user,mode,started,windows,found,removed,at_restart,still_on_disk,exit_code,log\r\n";
}

std::string FleetCsvLine(const FleetRow& row) {
  const SummaryEvent& s = row.summary;
  const bool removal = row.hasSummary && !s.preview;
  const std::string fields[] = {CsvField(row.computer),
                                CsvField(row.user),
                                CsvField(row.mode),
                                CsvField(row.started),
                                CsvField(row.windows),
                                CountField(row, s.found),
                                removal ? std::to_string(s.removed) : "",
                                removal ? std::to_string(s.atRestart) : "",
                                removal ? std::to_string(s.stillOnDisk) : "",
                                CsvField(row.exitCode),
                                CsvField(row.log)};
  std::string line = fields[0];
  for (size_t i = 1; i < sizeof fields / sizeof fields[0]; ++i) line += "," + fields[i];
  return line + "\r\n";
}

std::string CsvField(const std::string& text) {
  std::string clean;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8Length(bytes + i, text.size() - i);
    if (length == 0 || bytes[i] < 0x20 || bytes[i] == 0x7F) {
      AppendPercentEscape(clean, bytes[i]);
      ++i;
      continue;
    }
    clean.append(text, i, length);
    i += length;
  }
  const bool formula = BeginsLikeAFormula(clean);
  if (formula) clean.insert(0, "'");
  if (!formula && clean.find_first_of(",\"") == std::string::npos) return clean;
  std::string quoted = "\"";
  for (char c : clean) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace kc
