// The dialogs of a removal run, each opened by dialog_host.exe as the run opens it and handled
// through kcui as a user would: texts and control ids, the buttons and keys, the progress window's
// bar and status lines, and that the progress window cannot be closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/kcui_driver-win32.h"

namespace kc::e2e {
namespace {

const std::string kConfirmTitle = "\"KESTREL CHARTER契約解約時のフォント削除処理\"";
const std::string kProgramTitle = "\"KESTREL CHARTER解約プログラム\"";

std::string Pid(DWORD pid) { return " --pid " + std::to_string(pid); }

const char kConfirmTexts[] =
    u8"window\t0x94C800C4\t0x50101\tKESTREL CHARTER契約解約時のフォント削除処理\n"
    u8"-1\tStatic\tvisible,enabled\t契約解除に伴う削除処理は中断できません。\\n\\n実行してよろしいですか？\n"
    u8"1\tButton\tvisible,enabled,default\tはい\n"
    u8"2\tButton\tvisible,enabled\tいいえ\n"
    u8"-1\tStatic\tvisible,enabled\t#138\n";

const char kProcessTexts[] =
    u8"window\t0x94C00AC4\t0x10101\tKESTREL CHARTER解約プログラム\n"
    u8"-1\tStatic\tvisible,enabled\tKESTREL CHARTERフォントファイルの検索と削除を行っています。\n"
    u8"-1\tStatic\tvisible,enabled\tしばらくお待ち下さい。\n"
    u8"1032\tmsctls_progress32\tvisible,enabled\t\n"
    u8"1\tButton\thidden,disabled\t\n"
    u8"2\tButton\thidden,disabled\t\n";

const char kSuccessHeading[] =
    u8"window\t0x94C000C4\t0x10101\tKESTREL CHARTER解約プログラム\n"
    u8"1\tButton\tvisible,enabled,default\t了解\n"
    u8"-1\tStatic\tvisible,enabled\t以下のフォントを削除しました。\n";

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
      {"click " + kConfirmTitle + " 1", IDOK},
      {"key " + kConfirmTitle + " enter", IDOK},
      {"click " + kConfirmTitle + " 2", IDCANCEL},
      {"key " + kConfirmTitle + " esc", IDCANCEL},
      {"syscommand " + kConfirmTitle + " 0xF060", IDCANCEL},  // the close box
  };
  bool textsChecked = false;
  for (const Case& c : cases) {
    const DWORD pid = Open("confirm");
    ASSERT_NE(0u, pid);
    if (!textsChecked) {
      const ToolRun texts = Kcui("texts " + kConfirmTitle + Pid(pid));
      ASSERT_EQ(0, texts.status);
      EXPECT_EQ(kConfirmTexts, texts.out);
      textsChecked = true;
    } else {
      ASSERT_EQ(0, Kcui("find " + kConfirmTitle + Pid(pid)).status);
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
      {"1001", u8"予期せぬエラーが発生しました。\\nマシン再起動後、今一度、実行してください。"},
      {"1002", u8"お使いのOSでは、動作しません。"},
      {"1003", u8"現在のユーザには、administrator権限がありません。\\nadministrator権限のあるユーザで実行してください。"},
      {"1009", u8"メモリアクセス中にエラーが発生しました。\\nメモリの空き容量を確認していただき、"
               u8"マシン再起動後、今一度、実行してください。"},
      // No module holds this id: an empty message, never the template's placeholder.
      {"4242", ""},
  };
  for (const Case& c : cases) {
    const DWORD pid = Open(std::string("error ") + c.id);
    ASSERT_NE(0u, pid);
    const ToolRun texts = Kcui("texts " + kProgramTitle + Pid(pid));
    ASSERT_EQ(0, texts.status);
    EXPECT_EQ(u8"window\t0x94C800C4\t0x10101\tKESTREL CHARTER解約プログラム\n"
              u8"1\tButton\tvisible,enabled,default\t了解\n"
              u8"1002\tStatic\tvisible,enabled\t" + c.message + "\n",
              texts.out) << "message " << c.id;
    ASSERT_EQ(0, Kcui("click " + kProgramTitle + " 1" + Pid(pid)).status);
    EXPECT_EQ(IDOK, ExitCode(pid));
  }
}

TEST_F(DialogTest, SuccessDialogListsEveryLineOfTheResult) {
  struct Case {
    const char* args;
    std::string edit;  // control 1001 as kcui prints it
  };
  std::string forty;
  for (int i = 1; i <= 40; ++i) {
    char line[40];
    snprintf(line, sizeof line, "KC Sample Mincho %02d\\r\\n", i);
    forty += line;
  }
  const Case cases[] = {{"success empty", ""}, {"success lines 40", forty}};
  for (const Case& c : cases) {
    const DWORD pid = Open(c.args);
    ASSERT_NE(0u, pid);
    const ToolRun texts = Kcui("texts " + kProgramTitle + Pid(pid));
    ASSERT_EQ(0, texts.status);
    EXPECT_EQ(std::string(kSuccessHeading) + "1001\tEdit\tvisible,enabled\t" + c.edit + "\n", texts.out)
        << c.args;
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
