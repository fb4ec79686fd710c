// The command line: which mode and log each set of arguments asks for, and which are bad.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kc {
namespace {

struct LineCase {
  std::vector<std::string> arguments;
  RunMode mode;
  std::string logPath;
  const char* bad;  // null: none
};

const char* ModeName(RunMode mode) {
  return mode == RunMode::kDialog ? "dialog" : mode == RunMode::kSilent ? "silent" : mode == RunMode::kPreview ? "preview" : "report";
}

TEST(CommandLineTest, ModesLogAndBadArguments) {
  const LineCase cases[] = {
      {{}, RunMode::kDialog, "", nullptr},
      {{"/silent"}, RunMode::kSilent, "", nullptr},
      {{"-SILENT"}, RunMode::kSilent, "", nullptr},
      {{"/Preview"}, RunMode::kPreview, "", nullptr},
      {{"/silent", "/preview"}, RunMode::kPreview, "", nullptr},
      {{"/preview", "-silent"}, RunMode::kPreview, "", nullptr},
      {{"/silent", "/silent"}, RunMode::kSilent, "", nullptr},
      {{"/log:C:\\Logs\\KC Run.log"}, RunMode::kDialog, "C:\\Logs\\KC Run.log", nullptr},
      {{"-LOG:d:\\x.LOG", "/silent"}, RunMode::kSilent, "d:\\x.LOG", nullptr},
      // Bad ones; the good switches beside them still count.
      {{"/silent", "/bogus"}, RunMode::kSilent, "", "/bogus"},
      {{"/bogus", "/preview", "/other"}, RunMode::kPreview, "", "/bogus"},
      {{"silent"}, RunMode::kDialog, "", "silent"},
      {{"/"}, RunMode::kDialog, "", "/"},
      {{""}, RunMode::kDialog, "", ""},  // an empty argument ("") is bad too
      {{"/silent:yes"}, RunMode::kDialog, "", "/silent:yes"},
      {{"/silently"}, RunMode::kDialog, "", "/silently"},
      {{"/log", "/silent"}, RunMode::kSilent, "", "/log"},
      {{"/log:", "/silent"}, RunMode::kSilent, "", "/log:"},
      {{"/log:a.log", "/log:b.log"}, RunMode::kDialog, "a.log", "/log:b.log"},
      {{"\\silent"}, RunMode::kDialog, "", "\\silent"},
      // The report: a mode of its own, that removes nothing and keeps no log.
      {{"/silent", "/REPORT:\\\\srv\\Logs"}, RunMode::kReport, "", nullptr},
      {{"-report:C:\\L", "/silent"}, RunMode::kReport, "", nullptr},
      {{"/report:"}, RunMode::kDialog, "", "/report:"},
      {{"/report"}, RunMode::kDialog, "", "/report"},
      {{"/report:a", "/report:b"}, RunMode::kReport, "", "/report:b"},
      {{"/report:a", "/preview"}, RunMode::kReport, "", "/preview"},
      {{"/preview", "/report:a"}, RunMode::kPreview, "", "/report:a"},
      {{"/report:a", "/log:x"}, RunMode::kReport, "", "/log:x"},
      {{"/log:x", "/report:a"}, RunMode::kDialog, "x", "/report:a"},
  };
  for (const LineCase& c : cases) {
    std::string label;
    for (const std::string& argument : c.arguments) label += "[" + argument + "]";
    const CommandLine line = ParseCommandLine(c.arguments);
    EXPECT_STREQ(ModeName(c.mode), ModeName(line.mode)) << label;
    EXPECT_EQ(c.logPath, line.logPath) << label;
    EXPECT_EQ(c.bad != nullptr, line.bad) << label;
    EXPECT_EQ(c.bad != nullptr ? c.bad : "", line.badArgument) << label;
  }
  // /silent is kept apart from the mode: with /report: it only silences the message box.
  const CommandLine report = ParseCommandLine({"/report:\\\\srv\\Logs", "-Silent"});
  EXPECT_EQ("\\\\srv\\Logs", report.reportFolder);
  EXPECT_TRUE(report.silent);
  EXPECT_FALSE(ParseCommandLine({"/report:x"}).silent);
  EXPECT_EQ("C:\\Fleet logs\\", ParseCommandLine({"/report:C:\\Fleet logs\\\""}).reportFolder);
}

}  // namespace
}  // namespace kc
