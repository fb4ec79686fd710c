// The fleet report's reader over whole logs, damaged ones among them, and the CSV it writes: what
// each log's row says, what the reader reads of a large log, and what a spreadsheet sees.
#include "app/fleet_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kc {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

std::string Start(const std::string& mode, const std::string& user = "winetest", const std::string& computer = "VM") {
  return "start \"FontList.exe\" 1.1.0.0, " + mode +
         " mode; Windows 6.0.6002 Service Pack 2 (RtlGetVersion: " + "6.0.6002); user \"" + user + "\" on \"" +
         computer + "\"; drives C:\\ D:\\ R:\\";
}
const std::string kRemoved =
    "summary: 8 product fonts found: 8 removed, 0 to be removed at the next restart, 0 still on disk";

// Events as the log writer writes them: each after a time stamp, each ending in CR LF.
std::string Log(const std::vector<std::string>& events, const std::string& end = "\r\n") {
  std::string log = kBom;
  for (const std::string& event : events) log += "2026-12-07 14:18:40.257 " + event + end;
  return log;
}

struct Read {
  FleetRow row;
  size_t bytesRead = 0;
};

Read ReadBytes(const std::string& bytes, bool failing = false) {
  Read read;
  read.row = ReadFleetLog("pc.log", bytes.size(), [&](uint64_t offset, size_t size, std::string& out) {
    if (failing) return false;
    EXPECT_LE(offset, bytes.size());
    out = bytes.substr(static_cast<size_t>(offset), size);
    read.bytesRead += out.size();
    return true;
  });
  return read;
}

const char* VerdictName(LogVerdict verdict) {
  switch (verdict) {
    case LogVerdict::kClean: return "clean";
    case LogVerdict::kAtRestart: return "at restart";
    case LogVerdict::kFontsLeft: return "fonts left";
    case LogVerdict::kNotDone: return "not done";
    case LogVerdict::kNotALog: return "not a log";
  }
  return "?";
}

TEST(FleetReportTest, EachLogsRowSaysWhatItsRunDid) {
  const std::string killed = Log({Start("silent"), "searching C:\\"}) + "2026-12-07 14:18:40.298 found \"C:\\x";
  std::string longLine = Log({Start("silent")});
  longLine.insert(kBom.size() + 30, std::string(kLogLineMax, 'x'));
  std::string damagedStamp = Log({Start("silent"), kRemoved, "exit code 0"});
  damagedStamp[kBom.size() + 13] = '-';
  std::string randomBytes;
  for (unsigned i = 0, x = 7; i < 4000; ++i) randomBytes += static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  const std::string utf16(
      "\xFF\xFE"
      "2\0"
      "0\0"
      "2\0"
      "6\0"
      "\r\0\n\0",
      14);

  struct Case {
    const char* what;
    std::string bytes;
    const char* exitCode;
    LogVerdict verdict;
    const char* found;  // the row's found column
  };
  const Case cases[] = {
      {"complete removal", Log({Start("silent"), "deleted \"D:\\a.otf\"", kRemoved, "exit code 0"}), "0",
       LogVerdict::kClean, "8"},
      {"LF line ends, no byte-order mark", Log({Start("silent"), kRemoved, "exit code 0"}, "\n").substr(3), "0",
       LogVerdict::kClean, "8"},
      {"at restart",
       Log({Start("silent"),
            "summary: 2 product fonts found: 1 removed, 1 to be removed at the next restart, 0 still on disk",
            "exit code 3010"}),
       "3010", LogVerdict::kAtRestart, "2"},
      {"font left",
       Log({Start("silent"),
            "summary: 3 product fonts found: 1 removed, 1 to be removed at the next restart, 1 still on disk",
            "exit code 1"}),
       "1", LogVerdict::kFontsLeft, "3"},
      {"preview found",
       Log({Start("preview"), "summary: 4 product fonts found; a preview removes nothing", "exit code 10"}), "10",
       LogVerdict::kFontsLeft, "4"},
      {"preview clean",
       Log({Start("preview"), "summary: 0 product fonts found; a preview removes nothing", "exit code 0"}), "0",
       LogVerdict::kClean, "0"},
      {"dialog program (always 0)", Log({Start("dialog"), kRemoved, "exit code 0"}), "0", LogVerdict::kClean, "8"},
      {"refused: no summary", Log({Start("silent"), "refused: the user has no administrator rights", "exit code 2"}),
       "2", LogVerdict::kNotDone, ""},
      {"declined in the dialog", Log({Start("dialog"), "declined: the user did not confirm", "exit code 0"}), "0",
       LogVerdict::kNotDone, ""},
      {"its log failed", Log({Start("silent"), kRemoved, "exit code 6"}), "6", LogVerdict::kNotDone, "8"},
      {"a preview's summary in a removal",
       Log({Start("silent"), "summary: 0 product fonts found; a preview removes nothing", "exit code 0"}), "0",
       LogVerdict::kNotDone, "0"},
      {"killed midway", killed, "incomplete", LogVerdict::kNotDone, ""},
      {"killed after its summary", Log({Start("silent"), kRemoved}), "incomplete", LogVerdict::kNotDone, "8"},
      {"exit line cut (3010 as 30)", Log({Start("silent"), kRemoved}) + "2026-12-07 14:18:40.257 exit code 30",
       "incomplete", LogVerdict::kNotDone, "8"},
      {"exit line damaged", Log({Start("silent"), kRemoved, "exit code 0x"}), "incomplete", LogVerdict::kNotDone, "8"},
      {"only a start line", Log({Start("silent")}), "incomplete", LogVerdict::kNotDone, ""},
      {"empty file", "", "not a log", LogVerdict::kNotALog, ""},
      {"a byte-order mark alone", kBom, "not a log", LogVerdict::kNotALog, ""},
      {"random bytes", randomBytes, "not a log", LogVerdict::kNotALog, ""},
      {"UTF-16", utf16, "not a log", LogVerdict::kNotALog, ""},
      {"first line cut", Log({Start("silent")}).substr(0, 60), "not a log", LogVerdict::kNotALog, ""},
      {"first line overlong", longLine, "not a log", LogVerdict::kNotALog, ""},
      {"time stamp damaged", damagedStamp, "not a log", LogVerdict::kNotALog, ""},
      {"unknown mode", Log({Start("report"), kRemoved, "exit code 0"}), "not a log", LogVerdict::kNotALog, ""},
      {"start without drives", Log({Start("silent").substr(0, 120), kRemoved, "exit code 0"}), "not a log",
       LogVerdict::kNotALog, ""},
      {"another program's log", Log({"Starting service", "exit code 0"}), "not a log", LogVerdict::kNotALog, ""},
  };
  for (const Case& c : cases) {
    const FleetRow row = ReadBytes(c.bytes).row;
    EXPECT_EQ(c.exitCode, row.exitCode) << c.what;
    EXPECT_STREQ(VerdictName(c.verdict), VerdictName(row.verdict)) << c.what;
    EXPECT_EQ(c.found, row.hasSummary ? std::to_string(row.summary.found) : "") << c.what;
    EXPECT_EQ("pc.log", row.log) << c.what;
    if (row.verdict == LogVerdict::kNotALog) {
      EXPECT_EQ("", row.computer + row.user + row.mode + row.started + row.windows) << c.what << ": nothing read";
    } else {
      EXPECT_EQ("VM", row.computer) << c.what;
      EXPECT_EQ("2026-12-07 14:18:40.257", row.started) << c.what;
    }
  }
  EXPECT_EQ("unreadable", ReadBytes(Log({Start("silent")}), true).row.exitCode);
}

TEST(FleetReportTest, OfALargeLogOnlyItsFirstAndLastLinesAreRead) {
  std::vector<std::string> events = {Start("silent")};
  for (int i = 0; i < 20000; ++i) events.push_back("found \"D:\\fonts\\" + std::to_string(i) + ".otf\": OpenType");
  events.push_back(kRemoved);
  events.push_back("exit code 0");
  const std::string log = Log(events);
  const Read read = ReadBytes(log);
  EXPECT_GT(log.size(), 500000u);
  EXPECT_EQ("0", read.row.exitCode);
  EXPECT_TRUE(read.row.hasSummary);
  EXPECT_LE(read.bytesRead, 4 * kLogLineMax + 16);
}

TEST(FleetReportTest, TheLinesOfTheReaderAndTheirDamage) {
  LogLine line;
  EXPECT_TRUE(SplitLogLine("2026-12-07 14:18:40.257 exit code 0", line));
  EXPECT_EQ("2026-12-07 14:18:40.257", line.time);
  EXPECT_EQ("exit code 0", line.event);
  for (const char* damaged : {"2026-12-07 14:18:40.257", "2026-12-07 14:18:40.257 ", "2026-12-07 14:18:40 exit code 0",
                              "2026-1x-07 14:18:40.257 exit code 0", " 2026-12-07 14:18:40.257 exit code 0"}) {
    EXPECT_FALSE(SplitLogLine(damaged, line)) << damaged;
  }

  uint32_t code = 0;
  EXPECT_TRUE(ParseExitCodeEvent("exit code 4294967295", code));
  EXPECT_EQ(4294967295u, code);
  for (const char* damaged : {"exit code ", "exit code 01", "exit code -1", "exit code 4294967296", "exit code 0 ",
                              "exit code 99999999999", "exit  code 0", "Exit code 0"}) {
    EXPECT_FALSE(ParseExitCodeEvent(damaged, code)) << damaged;
  }

  SummaryEvent summary;
  for (const std::string& damaged :
       {kRemoved + ".", kRemoved.substr(0, kRemoved.size() - 1), std::string("summary: 8 product fonts found"),
        std::string("summary: 08 product fonts found; a preview removes nothing"),
        std::string("summary: 1234567890 product fonts found; a preview removes nothing"),
        std::string(
            "summary: 8 product fonts found: 8 removed, 0 to be removed at the next restart,  0 still on disk")}) {
    EXPECT_FALSE(ParseSummaryEvent(damaged, summary)) << damaged;
  }

  StartEvent start;
  ASSERT_TRUE(ParseStartEvent(Start("silent", "Jo %22Ad%22 %25x", u8"ＰＣ－７"), start));
  EXPECT_EQ("6.0.6002 Service Pack 2", start.windows);
  EXPECT_EQ("6.0.6002", start.actualWindows);
  EXPECT_EQ("Jo %22Ad%22 %25x", start.user);
  EXPECT_EQ("C:\\ D:\\ R:\\", start.drives);
  for (const std::string& damaged : {Start("silent", "a\"b"), Start("silent", ""), Start("Silent"),
                                     Start("silent").substr(1), std::string("start \"FontList.exe\"")}) {
    EXPECT_FALSE(ParseStartEvent(damaged, start)) << damaged;
  }
}

TEST(FleetReportTest, TheCsvKeepsJapaneseAndNothingInItIsRun) {
  const struct {
    std::string text, field;
  } fields[] = {
      {"VM", "VM"},
      {u8"ケストレル PC", u8"ケストレル PC"},
      {"a,b", "\"a,b\""},
      {"a\"b", "\"a\"\"b\""},
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
      {"+1", "\"'+1\""},
      {"-2+3", "\"'-2+3\""},
      {"@SUM(A1)", "\"'@SUM(A1)\""},
      {u8"＝1+1", u8"\"'＝1+1\""},
      {"a=b", "a=b"},
      {"\x83\x4A\x83", "%83J%83"},    // code page 932, not UTF-8
      {"\xED\xA0\x80", "%ED%A0%80"},  // a surrogate
      {"\xC0\xAF", "%C0%AF"},         // overlong
      {"a\rb\x7F", "a%0Db%7F"},
      {std::string("a\0b", 3), "a%00b"},
  };
  for (const auto& f : fields) EXPECT_EQ(f.field, CsvField(f.text)) << f.text;

  // Through a whole log: the log's escapes of '"' and '%' read back; the windows column is the
  // real version; counts and the file's name.
  std::string bytes =
      Log({"start \"FontList.exe\" 1.1.0.0, silent mode; Windows 6.2.9200 (RtlGetVersion: 10.0.19045); "
           u8"user \"=Jo %22Ad%22 100%25\" on \"ＰＣ－７\"; drives C:\\",
           kRemoved, "exit code 0"});
  FleetRow row = ReadFleetLog("=cmd.log", bytes.size(), [&](uint64_t offset, size_t size, std::string& out) {
    out = bytes.substr(static_cast<size_t>(offset), size);
    return true;
  });
  EXPECT_EQ("computer,user,mode,started,windows,found,removed,at_restart,still_on_disk,exit_code,log\r\n",
            FleetCsvHeader());
  EXPECT_EQ(u8"ＰＣ－７,\"'=Jo \"\"Ad\"\" 100%\",silent,2026-12-07 14:18:40.257,10.0.19045,"
            "8,8,0,0,0,\"'=cmd.log\"\r\n",
            FleetCsvLine(row));
  EXPECT_EQ(",,,,,,,,,not a log,x.log\r\n", FleetCsvLine(UnreadLogRow("x.log", false)));

  // The same numbers from both keep the service pack; without RtlGetVersion, GetVersionExA's.
  for (const auto& versions :
       {std::make_pair("5.1.2600 Service Pack 3 (RtlGetVersion: 5.1.2600)", "5.1.2600 Service Pack 3"),
        std::make_pair("5.0.2195 Service Pack 4 (RtlGetVersion: ?)", "5.0.2195 Service Pack 4")}) {
    bytes = Log({std::string("start \"F.exe\" 1, preview mode; Windows ") + versions.first +
                 "; user \"u\" on \"c\"; drives C:\\"});
    row = ReadBytes(bytes).row;
    EXPECT_EQ(versions.second, row.windows);
    EXPECT_EQ(",,", FleetCsvLine(row).substr(
                        FleetCsvLine(row).find(versions.second) + std::string(versions.second).size(), 2))
        << "no counts without a summary";
  }
}

TEST(FleetReportTest, RowsByComputerThenStartThenName) {
  std::vector<FleetRow> rows(4);
  rows[0].computer = "PC-2", rows[0].started = "2026-12-07 09:00:00.000", rows[0].log = "a.log";
  rows[1].computer = "PC-1", rows[1].started = "2026-12-08 09:00:00.000", rows[1].log = "b.log";
  rows[2].computer = "PC-1", rows[2].started = "2026-12-07 09:00:00.000", rows[2].log = "c.log";
  rows[3] = UnreadLogRow("d.log", false);
  SortFleetRows(rows);
  std::string order;
  for (const FleetRow& row : rows) order += row.log + " ";
  EXPECT_EQ("d.log c.log b.log a.log ", order);
}

}  // namespace
}  // namespace kc
