// Every dialog at the display scale of the test bed (WINEBED_DPI: 96, 120, 144 and 192 are run), and
// on the code page of an English Windows (1252) and the UTF-8 one (65001), told by WINEBED_LOCALE:
// each control's text, read as UTF-16, is its text on a Japanese Windows; each visible control lies
// inside its dialog and overlaps no other, each text shows a glyph for every character and fits its
// control, each picture is shown at the display's scale and the title bar's icon at the system's
// size. Measured inside the running programs by kcui's layout command, with the dialogs' Japanese
// font.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/dialog_texts-win32.h"
#include "tests/e2e/kcui_driver-win32.h"

namespace kc::e2e {
namespace {

struct DialogCase {
  const char* name;
  const char* program;      // in C:\tests\, with its arguments
  const char* reach;        // a kcui action on the first window that opens the dialog, or null
  const std::string& title;
  bool titleBarIcon;        // the dialog sets its own icon
  std::string texts;        // what kcui's texts prints, up to the progress window's status lines
};

// The panel picture's size at 100%; at other scales it grows with the DPI.
constexpr int kPanelWidth = 102, kPanelHeight = 122;

const DialogCase kDialogs[] = {
    {"main screen", "FontList.exe", nullptr, kMainTitle, true, kMainScreenTexts},
    {"About", "FontList.exe", "syscommand %s 16", kProgramTitle, false, kAboutTexts},
    {"confirmation", "dialog_host.exe confirm", nullptr, kMainTitle, false, kConfirmTexts},
    {"progress", "dialog_host.exe process 8", nullptr, kProgramTitle, false, kProcessTexts},
    {"result", "dialog_host.exe success lines 40", nullptr, kProgramTitle, false,
     SuccessDialogTexts(SampleResultLines(40))},
    {"error 1001", "dialog_host.exe error 1001", nullptr, kProgramTitle, false, ErrorDialogTexts(kMessage1001)},
    {"error 1002", "dialog_host.exe error 1002", nullptr, kProgramTitle, false, ErrorDialogTexts(kMessage1002)},
    {"error 1003", "dialog_host.exe error 1003", nullptr, kProgramTitle, false, ErrorDialogTexts(kMessage1003)},
    {"error 1009", "dialog_host.exe error 1009", nullptr, kProgramTitle, false, ErrorDialogTexts(kMessage1009)},
};

struct Control {
  std::string id, cls, kind;
  bool visible = false;
  RECT rect = {};
  int needW = -1, needH = -1;
  int missing = -1;  // characters of its text that no font shows
};

struct Layout {
  int clientW = 0, clientH = 0, dpi = 0, smallIcon = 0, bigIcon = 0, systemSmall = 0, systemBig = 0;
  std::vector<Control> controls;
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

int Int(const std::string& text) { return text == "-" ? -1 : std::atoi(text.c_str()); }

bool Parse(const std::string& out, Layout& layout) {
  const std::vector<std::string> lines = Lines(out);
  if (lines.empty()) return false;
  const std::vector<std::string> head = Fields(lines[0]);
  if (head.size() != 8 || head[0] != "dialog") return false;
  int* values[] = {&layout.clientW, &layout.clientH, &layout.dpi, &layout.smallIcon,
                   &layout.bigIcon, &layout.systemSmall, &layout.systemBig};
  for (int i = 0; i < 7; ++i) *values[i] = Int(head[i + 1]);
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> f = Fields(lines[i]);
    if (f.size() != 11) return false;
    Control c;
    c.id = f[0];
    c.cls = f[1];
    c.visible = f[2] == "visible";
    c.rect = {Int(f[3]), Int(f[4]), Int(f[3]) + Int(f[5]), Int(f[4]) + Int(f[6])};
    c.kind = f[7];
    c.needW = Int(f[8]);
    c.needH = Int(f[9]);
    c.missing = Int(f[10]);
    layout.controls.push_back(c);
  }
  return true;
}

int W(const RECT& r) { return r.right - r.left; }
int H(const RECT& r) { return r.bottom - r.top; }

class DialogLayoutTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (DWORD pid : m_started) EndIfRunning(pid);
  }
  std::vector<DWORD> m_started;
};

TEST_F(DialogLayoutTest, EveryDialogFitsAtTheDisplayScale) {
  const char* wanted = std::getenv("WINEBED_DPI");
  const int dpi = wanted != nullptr ? std::atoi(wanted) : 96;
  // The test bed's locale sets the code page: Japanese (932), English (1252), or one without an
  // ANSI code page, which Wine gives 65001, as Windows' "Use Unicode UTF-8" setting does.
  const std::string locale = std::getenv("WINEBED_LOCALE") != nullptr ? std::getenv("WINEBED_LOCALE") : "";
  const UINT codePage = locale == "C.UTF-8" ? 1252 : locale == "hi_IN.UTF-8" ? 65001 : 932;
  ASSERT_EQ(codePage, GetACP()) << "the test bed did not set the code page";
  for (const DialogCase& d : kDialogs) {
    SCOPED_TRACE(std::string(d.name) + " at " + std::to_string(dpi) + " DPI");
    const DWORD pid = StartProgram(d.program);
    ASSERT_NE(0u, pid);
    m_started.push_back(pid);
    const std::string pidArg = " --pid " + std::to_string(pid);
    if (d.reach != nullptr) {
      ASSERT_EQ(0, Kcui("find " + kMainTitle + pidArg + " --timeout 30000").status);
      char action[256];
      snprintf(action, sizeof action, d.reach, kMainTitle.c_str());
      ASSERT_EQ(0, Kcui(action + pidArg).status);
    }
    const ToolRun run = Kcui("layout " + d.title + pidArg + " --timeout 30000");
    ASSERT_EQ(0, run.status) << run.out;
    Layout layout;
    ASSERT_TRUE(Parse(run.out, layout)) << run.out;
    ASSERT_EQ(dpi, layout.dpi) << "the test bed did not set the display's DPI";
    // Read as UTF-16 (WM_GETTEXT sent with SendMessageW): an ANSI read would convert through
    // kcui's code page and show '?' whatever the program did.
    const ToolRun texts = Kcui("texts " + d.title + pidArg);
    ASSERT_EQ(0, texts.status);
    EXPECT_EQ(d.texts, texts.out.substr(0, d.texts.size())) << texts.out;
    if (d.titleBarIcon) {
      EXPECT_EQ(layout.systemSmall, layout.smallIcon) << "title bar icon";
      EXPECT_EQ(layout.systemBig, layout.bigIcon) << "task switcher icon";
    }
    const RECT dialog = {0, 0, layout.clientW, layout.clientH};
    for (size_t i = 0; i < layout.controls.size(); ++i) {
      const Control& c = layout.controls[i];
      if (!c.visible) continue;
      const std::string what = c.id + " " + c.cls + " " + c.kind;
      RECT inside = {};
      IntersectRect(&inside, &c.rect, &dialog);
      EXPECT_TRUE(EqualRect(&inside, &c.rect)) << what << " leaves the dialog\n" << run.out;
      for (size_t j = i + 1; j < layout.controls.size(); ++j) {
        RECT both = {};
        const Control& other = layout.controls[j];
        EXPECT_FALSE(other.visible && IntersectRect(&both, &c.rect, &other.rect))
            << what << " overlaps " << other.id << " " << other.cls << "\n" << run.out;
      }
      if (c.kind == "text" || c.kind == "button") {
        EXPECT_EQ(0, c.missing) << what << ": characters of its text show no glyph\n" << run.out;
      }
      if (c.kind == "text") {
        EXPECT_LE(c.needW, W(c.rect)) << what << ": its text is cut at the side\n" << run.out;
        EXPECT_LE(c.needH, H(c.rect)) << what << ": its text is cut at the bottom\n" << run.out;
      } else if (c.kind == "button") {
        // Inside the button's border, 2 pixels each side.
        EXPECT_LE(c.needW + 4, W(c.rect)) << what << "\n" << run.out;
        EXPECT_LE(c.needH + 4, H(c.rect)) << what << "\n" << run.out;
      } else if (c.kind == "bitmap" || c.kind == "icon") {
        const int w = c.kind == "icon" ? layout.systemBig : MulDiv(kPanelWidth, dpi, 96);
        const int h = c.kind == "icon" ? layout.systemBig : MulDiv(kPanelHeight, dpi, 96);
        EXPECT_EQ(w, c.needW) << what << ": the picture is not at the display's scale";
        EXPECT_EQ(h, c.needH) << what << ": the picture is not at the display's scale";
        EXPECT_EQ(c.needW, W(c.rect)) << what << ": the control does not show its whole picture";
        EXPECT_EQ(c.needH, H(c.rect)) << what << ": the control does not show its whole picture";
      }
    }
    EndIfRunning(pid);
  }
}

}  // namespace
}  // namespace kc::e2e
