// The dialog templates as compiled into the program: kind (plain or extended), title, font, size,
// styles, and every control's id, class, text, rectangle and style. These are what the screens look
// like on every Windows, and what the end-to-end tests cannot measure from outside (dialog units).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace kc {
namespace {

// Reads a compiled template; every read is checked against the resource's size.
class TemplateReader {
 public:
  TemplateReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

  bool Word(uint16_t& value) { return Read(&value, 2); }
  bool Dword(uint32_t& value) { return Read(&value, 4); }
  bool Short(int16_t& value) { return Read(&value, 2); }
  bool Byte(uint8_t& value) { return Read(&value, 1); }
  // A zero-terminated UTF-16 string, or 0xFFFF and an ordinal (returned as "#n").
  bool StringOrOrdinal(std::wstring& value) {
    uint16_t first = 0;
    if (!Word(first)) return false;
    if (first == 0xFFFF) {
      uint16_t ordinal = 0;
      if (!Word(ordinal)) return false;
      value = L"#" + std::to_wstring(ordinal);
      return true;
    }
    value.clear();
    for (uint16_t c = first; c != 0;) {
      value += static_cast<wchar_t>(c);
      if (!Word(c)) return false;
    }
    return true;
  }
  bool AlignToDword() {
    const size_t aligned = (m_offset + 3) & ~static_cast<size_t>(3);
    if (aligned > m_size) return false;
    m_offset = aligned;
    return true;
  }
  bool Skip(size_t n) {
    if (n > m_size || m_offset > m_size - n) return false;
    m_offset += n;
    return true;
  }

 private:
  bool Read(void* out, size_t n) {
    if (n > m_size || m_offset > m_size - n) return false;
    std::memcpy(out, m_data + m_offset, n);
    m_offset += n;
    return true;
  }
  const uint8_t* m_data;
  size_t m_size;
  size_t m_offset = 0;
};

struct Control {
  int16_t id;
  std::wstring className;  // "#128" button, "#129" edit, "#130" static (atoms), or a name
  std::wstring text;
  int16_t x, y, cx, cy;
  uint32_t style;
};

struct Template {
  bool extended = false;
  uint32_t style = 0, exStyle = 0;
  int16_t cx = 0, cy = 0;
  std::wstring title, font;
  uint16_t pointSize = 0;
  std::vector<Control> controls;
};

bool Parse(UINT id, Template& t) {
  const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
  if (found == nullptr) return false;
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
  TemplateReader r(data, SizeofResource(nullptr, found));
  uint16_t version = 0, signature = 0, count = 0;
  uint32_t helpId = 0;
  int16_t x = 0, y = 0;
  std::wstring menu, windowClass;
  if (!r.Word(version) || !r.Word(signature)) return false;
  t.extended = version == 1 && signature == 0xFFFF;
  if (t.extended) {
    if (!r.Dword(helpId) || !r.Dword(t.exStyle) || !r.Dword(t.style)) return false;
  } else {
    t.style = version | (static_cast<uint32_t>(signature) << 16);
    if (!r.Dword(t.exStyle)) return false;
  }
  if (!r.Word(count) || !r.Short(x) || !r.Short(y) || !r.Short(t.cx) || !r.Short(t.cy)) return false;
  if (!r.StringOrOrdinal(menu) || !r.StringOrOrdinal(windowClass) || !r.StringOrOrdinal(t.title)) return false;
  if (t.style & DS_SETFONT) {
    if (!r.Word(t.pointSize)) return false;
    if (t.extended) {
      uint16_t weight = 0;
      uint8_t italic = 0, charset = 0;
      if (!r.Word(weight) || !r.Byte(italic) || !r.Byte(charset)) return false;
    }
    if (!r.StringOrOrdinal(t.font)) return false;
  }
  for (uint16_t i = 0; i < count; ++i) {
    Control c = {};
    uint32_t exStyle = 0;
    uint16_t extra = 0;
    if (!r.AlignToDword()) return false;
    if (t.extended) {
      uint32_t id32 = 0;
      if (!r.Dword(helpId) || !r.Dword(exStyle) || !r.Dword(c.style)) return false;
      if (!r.Short(c.x) || !r.Short(c.y) || !r.Short(c.cx) || !r.Short(c.cy) || !r.Dword(id32)) return false;
      c.id = static_cast<int16_t>(id32);
    } else {
      uint16_t id16 = 0;
      if (!r.Dword(c.style) || !r.Dword(exStyle)) return false;
      if (!r.Short(c.x) || !r.Short(c.y) || !r.Short(c.cx) || !r.Short(c.cy) || !r.Word(id16)) return false;
      c.id = static_cast<int16_t>(id16);
    }
    if (!r.StringOrOrdinal(c.className) || !r.StringOrOrdinal(c.text) || !r.Word(extra)) return false;
    if (!r.Skip(extra)) return false;
    t.controls.push_back(c);
  }
  return true;
}

struct ExpectedControl {
  int16_t id;
  const wchar_t* className;
  const wchar_t* text;
  int16_t x, y, cx, cy;
  uint32_t styleSet;    // bits that must be set
  uint32_t styleClear;  // bits that must be clear
};

struct ExpectedTemplate {
  UINT id;
  bool extended;
  const wchar_t* title;
  int16_t cx, cy;
  uint32_t styleSet, styleClear, exStyle;
  std::vector<ExpectedControl> controls;
};

constexpr const wchar_t* kButton = L"button";
constexpr const wchar_t* kEdit = L"edit";
constexpr const wchar_t* kStatic = L"static";

// A class as the system sees it: the predefined atoms by name, names in lower case.
std::string ClassOf(const std::wstring& name) {
  if (name == L"#128") return "button";
  if (name == L"#129") return "edit";
  if (name == L"#130") return "static";
  std::string ascii;
  for (wchar_t c : name) ascii += static_cast<char>(c < 0x80 ? std::tolower(c) : '?');
  return ascii;
}
const wchar_t kProgramTitle[] = L"KESTREL CHARTER解約プログラム";
const wchar_t kMainTitle[] = L"KESTREL CHARTER契約解約時のフォント削除処理";
constexpr uint32_t kPopup = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
constexpr uint32_t kShown = WS_VISIBLE;

TEST(DialogTemplateTest, EveryTemplateIsAsDesigned) {
  const ExpectedTemplate expected[] = {
      {IDD_ABOUTBOX, false, kProgramTitle, 262, 159, kPopup, WS_SYSMENU | WS_VISIBLE, 0,
       {{IDOK, kButton, L"OK", 208, 136, 48, 14, BS_DEFPUSHBUTTON | WS_GROUP, 0},
        {-1, kStatic, L"#132", 8, 8, 20, 20, SS_ICON, 0},
        {-1, kStatic, L"KESTREL CHARTER 解約プログラム", 36, 12, 160, 12, SS_NOPREFIX, 0},
        {-1, kStatic, L"Version 1.0", 200, 12, 52, 12, 0, 0},
        {-1, kStatic, nullptr, 36, 36, 216, 11, 0, 0}}},
      {IDD_FONTLIST_DIALOG, true, kMainTitle, 262, 159, kPopup | WS_SYSMENU | kShown, 0, WS_EX_APPWINDOW,
       {{-1, kStatic,
         L"KESTREL CHARTER 契約の解除を行っていただく際は、本契約にてインストールされたフォントを削除して"
         L"いただく必要があります。\n\n※全てのアプリケーションを終了してから、開始してください。",
         69, 33, 183, 61, SS_LEFT, 0},
        {IDOK, kButton, L"開始", 156, 136, 48, 14, BS_DEFPUSHBUTTON, 0},
        {IDCANCEL, kButton, L"中止", 208, 136, 48, 14, 0, BS_DEFPUSHBUTTON},
        {-1, kStatic, L"#138", 4, 35, 58, 81, SS_BITMAP, 0}}},
      {IDD_SUCCESS_DIALOG, false, kProgramTitle, 263, 287, kPopup, WS_SYSMENU | WS_VISIBLE, 0,
       {{IDOK, kButton, L"了解", 208, 265, 48, 14, BS_DEFPUSHBUTTON, 0},
        {-1, kStatic, L"以下のフォントを削除しました。", 8, 8, 248, 12, 0, 0},
        {IDC_RESULT_TEXT, kEdit, L"", 8, 23, 248, 234,
         ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0}}},
      {IDD_ERROR_DIALOG, false, kProgramTitle, 262, 159, kPopup | WS_SYSMENU, WS_VISIBLE, 0,
       {{IDOK, kButton, L"了解", 208, 136, 48, 14, BS_DEFPUSHBUTTON, 0},
        {IDC_ERROR_MESSAGE, kStatic, L"エラー内容を表示する", 8, 8, 248, 120, 0, 0}}},
      {IDD_PROCESS_DIALOG, false, kProgramTitle, 262, 159, kPopup | kShown | DS_CENTER | DS_SETFOREGROUND,
       WS_SYSMENU, 0,
       {{-1, kStatic, L"KESTREL CHARTERフォントファイルの検索と削除を行っています。", 8, 8, 248, 16, 0, 0},
        {-1, kStatic, L"しばらくお待ち下さい。", 8, 28, 248, 16, 0, 0},
        {IDC_PROGRESS, L"msctls_progress32", L"", 8, 60, 248, 15, WS_BORDER, 0},
        {IDOK, kButton, L"", 200, 60, 12, 12, WS_DISABLED, WS_VISIBLE},
        {IDCANCEL, kButton, L"", 200, 60, 8, 8, WS_DISABLED, WS_VISIBLE},
        {IDC_STATUS_LINE1, kStatic, L"", 12, 92, 244, 16, 0, 0},
        {IDC_STATUS_LINE2, kStatic, L"", 12, 112, 244, 16, 0, 0}}},
      {IDD_CONFIRM_DIALOG, true, kMainTitle, 262, 159, kPopup | WS_SYSMENU | kShown, 0, WS_EX_APPWINDOW,
       {{-1, kStatic, L"契約解除に伴う削除処理は中断できません。\n\n実行してよろしいですか？", 78, 35, 172, 33, 0, 0},
        {IDOK, kButton, L"はい", 156, 136, 48, 14, BS_DEFPUSHBUTTON, 0},
        {IDCANCEL, kButton, L"いいえ", 208, 136, 48, 14, 0, BS_DEFPUSHBUTTON},
        {-1, kStatic, L"#138", 4, 35, 58, 81, SS_BITMAP, 0}}},
  };
  for (const ExpectedTemplate& e : expected) {
    SCOPED_TRACE("template " + std::to_string(e.id));
    Template t;
    ASSERT_TRUE(Parse(e.id, t));
    EXPECT_EQ(e.extended, t.extended);
    EXPECT_TRUE(t.title == e.title);
    EXPECT_TRUE(t.font == L"ＭＳ Ｐゴシック");
    EXPECT_EQ(9, t.pointSize);
    EXPECT_EQ(e.cx, t.cx);
    EXPECT_EQ(e.cy, t.cy);
    EXPECT_EQ(e.styleSet, t.style & e.styleSet);
    EXPECT_EQ(0u, t.style & e.styleClear);
    EXPECT_EQ(e.exStyle, t.exStyle);
    ASSERT_EQ(e.controls.size(), t.controls.size());
    for (size_t i = 0; i < e.controls.size(); ++i) {
      const ExpectedControl& ec = e.controls[i];
      const Control& c = t.controls[i];
      SCOPED_TRACE("control " + std::to_string(i));
      EXPECT_EQ(ec.id, c.id);
      EXPECT_EQ(ClassOf(ec.className), ClassOf(c.className));
      if (ec.text != nullptr) {
        EXPECT_TRUE(c.text == ec.text);
      }
      EXPECT_EQ(ec.x, c.x);
      EXPECT_EQ(ec.y, c.y);
      EXPECT_EQ(ec.cx, c.cx);
      EXPECT_EQ(ec.cy, c.cy);
      EXPECT_EQ(ec.styleSet, c.style & ec.styleSet) << std::hex << c.style;
      EXPECT_EQ(0u, c.style & ec.styleClear) << std::hex << c.style;
    }
  }
}

// Icons 128 and 132 hold 16, 32 and 48 pixel images at 4, 8 and 32 bits, and at 32 bits the sizes
// of 125% to 200% (20, 24, 40, 64); bitmap 138 is 102 x 122 at 8 bits, 139 the same at 200%.
TEST(ArtworkTest, IconsAndBitmapHaveEverySizeAndDepth) {
  for (UINT icon : {IDR_MAINFRAME, IDI_ABOUT}) {
    const HRSRC group = FindResourceA(nullptr, MAKEINTRESOURCEA(icon), MAKEINTRESOURCEA(14));
    ASSERT_NE(nullptr, group) << icon;
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, group)));
    const DWORD size = SizeofResource(nullptr, group);
    ASSERT_GE(size, 6u);
    uint16_t count = 0;
    std::memcpy(&count, data + 4, 2);
    ASSERT_EQ(size, 6u + 14u * count) << icon;
    std::vector<std::pair<int, int>> images;  // (pixels, bits)
    for (uint16_t i = 0; i < count; ++i) {
      const uint8_t* entry = data + 6 + 14 * i;
      uint16_t bits = 0;
      std::memcpy(&bits, entry + 6, 2);
      images.emplace_back(entry[0], bits);
    }
    for (int pixels : {16, 32, 48}) {
      for (int bits : {4, 8, 32}) {
        EXPECT_NE(images.end(), std::find(images.begin(), images.end(), std::make_pair(pixels, bits)))
            << "icon " << icon << ": " << pixels << " px at " << bits << " bpp";
      }
    }
    for (int pixels : {20, 24, 40, 64}) {
      EXPECT_NE(images.end(), std::find(images.begin(), images.end(), std::make_pair(pixels, 32)))
          << "icon " << icon << ": " << pixels << " px at 32 bpp";
    }
  }
  for (const auto& [id, scale] : {std::make_pair(IDB_PANEL, 1), std::make_pair(IDB_PANEL_200, 2)}) {
    const HRSRC bitmap = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    ASSERT_NE(nullptr, bitmap) << id;
    ASSERT_GE(SizeofResource(nullptr, bitmap), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, LockResource(LoadResource(nullptr, bitmap)), sizeof header);
    EXPECT_EQ(102 * scale, header.biWidth) << id;
    EXPECT_EQ(122 * scale, header.biHeight) << id;
    EXPECT_EQ(8, header.biBitCount) << id;
  }
}

}  // namespace
}  // namespace kc
