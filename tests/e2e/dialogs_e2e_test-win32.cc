// The dialogs of a removal run, each opened by dialog_host.exe as the run opens it and handled
// through kcui as a user would: texts and control ids, the buttons and keys, the progress window's
// bar and status lines, and that the progress window cannot be closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/dialog_texts-win32.h"
#include "tests/e2e/kcui_driver-win32.h"

namespace kc::e2e {
namespace {

std::string Pid(DWORD pid) { return " --pid " + std::to_string(pid); }

class DialogTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (DWORD pid : m_started) EndIfRunning(pid);
  }
  DWORD Open(const std::string& args) {
    const DWORD pid = StartProgram("dialog_host.exe " + args);
    m_started.push_back(pid);
    return pid;
  }
  static int ExitCode(DWORD pid) { return WaitForExitCode(pid); }
  std::vector<DWORD> m_started;
};

TEST_F(DialogTest, ConfirmationAnswersOkOnlyForYesOrEnter) {
  struct Case {
    std::string action;
    int result;
  };
  const Case cases[] = {
      {"click " + kMainTitle + " 1", IDOK},
      {"key " + kMainTitle + " enter", IDOK},
      {"click " + kMainTitle + " 2", IDCANCEL},
      {"key " + kMainTitle + " esc", IDCANCEL},
      {"syscommand " + kMainTitle + " 0xF060", IDCANCEL},  // the close box
  };
  bool textsChecked = false;
  for (const Case& c : cases) {
    const DWORD pid = Open("confirm");
    ASSERT_NE(0u, pid);
    if (!textsChecked) {
      const ToolRun texts = Kcui("texts " + kMainTitle + Pid(pid));
      ASSERT_EQ(0, texts.status);
      EXPECT_EQ(kConfirmTexts, texts.out);
      textsChecked = true;
    } else {
      ASSERT_EQ(0, Kcui("find " + kMainTitle + Pid(pid)).status);
    }
    ASSERT_EQ(0, Kcui(c.action + Pid(pid)).status) << c.action;
    EXPECT_EQ(c.result, ExitCode(pid)) << c.action;
  }
}

TEST_F(DialogTest, ErrorDialogShowsTheStringTableMessage) {
  struct Case {
    const char* id;
    std::string message;  // as kcui prints it
  };
  const Case cases[] = {
      {"1001", kMessage1001},
      {"1002", kMessage1002},
      {"1003", kMessage1003},
      {"1009", kMessage1009},
      // No module holds this id: an empty message, never the template's placeholder.
      {"4242", ""},
  };
  for (const Case& c : cases) {
    const DWORD pid = Open(std::string("error ") + c.id);
    ASSERT_NE(0u, pid);
    const ToolRun texts = Kcui("texts " + kProgramTitle + Pid(pid));
    ASSERT_EQ(0, texts.status);
    EXPECT_EQ(ErrorDialogTexts(c.message), texts.out) << "message " << c.id;
    ASSERT_EQ(0, Kcui("click " + kProgramTitle + " 1" + Pid(pid)).status);
    EXPECT_EQ(IDOK, ExitCode(pid));
  }
}

TEST_F(DialogTest, SuccessDialogListsEveryLineOfTheResult) {
  struct Case {
    const char* args;
    std::string edit;  // control 1001 as kcui prints it
  };
  const Case cases[] = {{"success empty", ""}, {"success lines 40", SampleResultLines(40)}};
  for (const Case& c : cases) {
    const DWORD pid = Open(c.args);
    ASSERT_NE(0u, pid);
    const ToolRun texts = Kcui("texts " + kProgramTitle + Pid(pid));
    ASSERT_EQ(0, texts.status);
    EXPECT_EQ(SuccessDialogTexts(c.edit), texts.out) << c.args;
    ASSERT_EQ(0, Kcui("click " + kProgramTitle + " 1" + Pid(pid)).status);
    EXPECT_EQ(IDOK, ExitCode(pid));
  }
}

// The progress window of a run over 2 drives: range 0..5, one step after preparing, one per drive,
// one after the result: it ends at 4, one short of full.
TEST_F(DialogTest, ProgressWindowShowsEachStageOfARun) {
  const DWORD pid = Open("process 2");
  ASSERT_NE(0u, pid);
  const ToolRun watch = Kcui("watch " + kProgramTitle + " --interval 10 --timeout 20000" + Pid(pid));
  ASSERT_EQ(0, watch.status) << watch.out;
  // Each sample: ms, low, high, pos, line 1, line 2. Keep what follows the time.
  std::vector<std::string> states;
  for (const std::string& line : Lines(watch.out)) states.push_back(line.substr(line.find('\t') + 1));
  const std::string preparing = u8"0\t5\t1\t初期化処理中\t";
  const std::string searching =
      u8"フォントファイル検索中\\n※検索に時間がかかる場合がありますので、しばらくお待ちください";
  const std::vector<std::string> expected = {
      preparing,
      u8"0\t5\t1\t" + searching + "\tC:\\\\",
      u8"0\t5\t2\t" + searching + "\tD:\\\\",
      u8"0\t5\t4\t\t",
  };
  // The sampler may also see passing states (between SetStatus and StepIt); the stages must all
  // appear, in order.
  size_t next = 0;
  for (const std::string& state : states) {
    if (next < expected.size() && state == expected[next]) ++next;
  }
  EXPECT_EQ(expected.size(), next) << "seen:\n" << watch.out;
  EXPECT_EQ(0, ExitCode(pid));
}

// No close box, and its only buttons are hidden and disabled: Esc, Enter and Alt+F4 do nothing.
TEST_F(DialogTest, ProgressWindowCannotBeClosedByTheUser) {
  const DWORD pid = Open("process 8");  // about 5 s: time for the attempts below
  ASSERT_NE(0u, pid);
  const ToolRun texts = Kcui("texts " + kProgramTitle + Pid(pid));
  ASSERT_EQ(0, texts.status);
  EXPECT_EQ(0u, texts.out.find(kProcessTexts)) << texts.out;
  EXPECT_NE(0, Kcui("click " + kProgramTitle + " 2" + Pid(pid)).status);
  for (const char* action : {"key %s esc", "key %s enter", "syscommand %s 0xF060"}) {
    char command[256];
    snprintf(command, sizeof command, action, kProgramTitle.c_str());
    ASSERT_EQ(0, Kcui(command + Pid(pid)).status);
  }
  Sleep(300);
  const ToolRun after = Kcui("progress " + kProgramTitle + " --timeout 0" + Pid(pid));
  EXPECT_EQ(0, after.status) << "the progress window was closed";
  EXPECT_EQ(0, ExitCode(pid));
}

}  // namespace
}  // namespace kc::e2e
