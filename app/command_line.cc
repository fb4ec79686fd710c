#include "app/command_line.h"

#include <cctype>

namespace kc {
namespace {

std::string Lower(const std::string& text) {
  std::string lower = text;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Applies one argument; false when it is bad.
bool Apply(const std::string& argument, CommandLine& line) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return false;
  const std::string body = argument.substr(1);
  const std::string lower = Lower(body);
  if (lower == "silent") {
    line.silent = true;
    if (line.mode == RunMode::kDialog) line.mode = RunMode::kSilent;
    return true;
  }
  if (lower == "preview") {
    if (line.mode == RunMode::kReport) return false;
    line.mode = RunMode::kPreview;
    return true;
  }
  if (lower.compare(0, 4, "log:") == 0) {
    const std::string path = body.substr(4);
    // Which of two logs would be meant? A report keeps none.
    if (path.empty() || !line.logPath.empty() || line.mode == RunMode::kReport) return false;
    line.logPath = path;
    return true;
  }
  if (lower.compare(0, 7, "report:") == 0) {
    // No folder's name holds a quote: one at the end is what the shell's splitting leaves of a
    // quoted folder that ends in its backslash ("/report:C:\Fleet logs\", the \" read as a quote).
    std::string folder = body.substr(7);
    if (!folder.empty() && folder.back() == '"') folder.pop_back();
    if (folder.empty() || line.mode == RunMode::kReport || line.mode == RunMode::kPreview || !line.logPath.empty()) {
      return false;
    }
    line.mode = RunMode::kReport;
    line.reportFolder = folder;
    return true;
  }
  return false;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (const std::string& argument : arguments) {
    if (Apply(argument, line) || line.bad) continue;
    line.bad = true;
    line.badArgument = argument;
  }
  return line;
}

}  // namespace kc
