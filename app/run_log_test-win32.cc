// The log file as Notepad and a deployment tool meet it: byte-order mark, UTF-8 from code page
// 932, a time on every line, CR LF; a log that cannot be made fails without stopping anything.
#include "app/run_log-win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "tests/support/file_tree-win32.h"

namespace kc {
namespace {

TEST(RunLogTest, LinesAreUtf8WithATimeAfterAByteOrderMark) {
  CreateDirectoryA("C:\\kc-logs", nullptr);
  const std::string path = "C:\\kc-logs\\run.log";
  {
    RunLog log;
    ASSERT_TRUE(log.Open(L"C:\\kc-logs\\run.log"));
    log.Line(u8"found \"D:\\メニュー.otf\"");  // the lines are UTF-8 as they come
    log.Line("exit code 0");
    EXPECT_FALSE(log.Failed());
  }
  const std::string bytes = testsupport::ReadWholeFile(path);
  const std::string time = "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ";
  EXPECT_TRUE(std::regex_match(bytes, std::regex("\xEF\xBB\xBF" + time + "found \"D:\\\\" +
                                                 u8"メニュー" + "\\.otf\"\r\n" + time + "exit code 0\r\n")))
      << bytes;

  // A second run replaces the log: one run, one log.
  RunLog again;
  ASSERT_TRUE(again.Open(L"C:\\kc-logs\\run.log"));
  again.Line("start");
  EXPECT_EQ(std::string::npos, testsupport::ReadWholeFile(path).find("exit code"));
}

TEST(RunLogTest, ALogThatCannotBeMadeFailsQuietly) {
  RunLog log;
  EXPECT_FALSE(log.Open(L"C:\\kc-no-such-folder\\run.log"));
  log.Line("nothing happens");
  EXPECT_TRUE(log.Failed());
  EXPECT_FALSE(log.IsOpen());

  RunLog unopened;  // the dialog program without /log: no log, and no failure
  unopened.Line("nothing happens");
  EXPECT_FALSE(unopened.Failed());
}

TEST(RunLogTest, DefaultPlaceAndSystemMessages) {
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(std::wstring(windows) + L"\\Logs\\Software\\run_log_test.log", DefaultLogPath());

  const std::string message = SystemErrorText(ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(std::string::npos, message.find_first_of("\r\n")) << message;
  EXPECT_NE(' ', message.back());
}

}  // namespace
}  // namespace kc
