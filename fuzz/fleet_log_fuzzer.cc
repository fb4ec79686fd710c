// libFuzzer target: the fleet report's reader of a run's log, over the input as a whole file and
// as one line, and the CSV line of what it read. The reader may read only what it asks for, at
// most a line's worth at each end; the CSV line must stay one line of valid UTF-8 whose fields no
// spreadsheet runs.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/fleet_report.h"

namespace {

bool IsValidUtf8WithoutControls(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) return false;
    const size_t length = c < 0x80                 ? 1
                          : c >= 0xC2 && c <= 0xDF ? 2
                          : c >= 0xE0 && c <= 0xEF ? 3
                          : c >= 0xF0 && c <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

void CheckCsvLine(const std::string& line) {
  if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) std::abort();
  const std::string body = line.substr(0, line.size() - 2);
  if (!IsValidUtf8WithoutControls(body)) std::abort();
  // RFC 4180 fields: eleven of them, none beginning (inside its quotes) with a formula's sign.
  int fields = 0;
  for (size_t at = 0;;) {
    ++fields;
    std::string field;
    if (at < body.size() && body[at] == '"') {
      for (++at;; ++at) {
        if (at >= body.size()) std::abort();  // an unclosed quote
        if (body[at] == '"') {
          if (at + 1 < body.size() && body[at + 1] == '"') {
            field += '"';
            ++at;
            continue;
          }
          ++at;
          break;
        }
        field += body[at];
      }
    } else {
      while (at < body.size() && body[at] != ',') field += body[at++];
    }
    if (!field.empty() && (field[0] == '=' || field[0] == '+' || field[0] == '-' || field[0] == '@')) std::abort();
    if (at == body.size()) break;
    if (body[at] != ',') std::abort();
    ++at;
  }
  if (fields != 11) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  size_t read = 0;
  const kc::FleetRow row = kc::ReadFleetLog(bytes, size, [&](uint64_t offset, size_t count, std::string& out) {
    if (offset > size) std::abort();
    out = bytes.substr(static_cast<size_t>(offset), count);
    read += out.size();
    return true;
  });
  if (read > 4 * kc::kLogLineMax + 16) std::abort();  // bounded whatever the size
  CheckCsvLine(kc::FleetCsvLine(row));

  kc::LogLine line;
  kc::StartEvent start;
  kc::SummaryEvent summary;
  uint32_t code = 0;
  if (kc::SplitLogLine(bytes, line)) {
    kc::ParseStartEvent(line.event, start);
    kc::ParseSummaryEvent(line.event, summary);
    kc::ParseExitCodeEvent(line.event, code);
  }
  kc::ParseStartEvent(bytes, start);
  return 0;
}
