#pragma once
// The program's dialogs as kcui's "texts" prints them on a Japanese Windows (UTF-8; a line break
// inside a text as \n): the end-to-end tests expect them on a test bed of any code page.

#include <cstdio>
#include <string>

namespace kc::e2e {

// Titles as the tests hand them to kcui, quoted (this file's literals are code page 932).
inline const std::string kMainTitle = "\"KESTREL CHARTER契約解約時のフォント削除処理\"";
inline const std::string kProgramTitle = "\"KESTREL CHARTER解約プログラム\"";

// The main screen: style and extended style (WS_EX_APPWINDOW), then the controls.
inline const std::string kMainScreenTexts =
    u8"window\t0x94C800C4\t0x50101\tKESTREL CHARTER契約解約時のフォント削除処理\n"
    u8"-1\tStatic\tvisible,enabled\tKESTREL CHARTER 契約の解除を行っていただく際は、本契約にて"
    u8"インストールされたフォントを削除していただく必要があります。\\n\\n※全てのアプリケーションを"
    u8"終了してから、開始してください。\n"
    u8"1\tButton\tvisible,enabled,default\t開始\n"
    u8"2\tButton\tvisible,enabled\t中止\n"
    u8"-1\tStatic\tvisible,enabled\t#138\n";

inline const std::string kAboutTexts =
    u8"window\t0x94C000C4\t0x10101\tKESTREL CHARTER解約プログラム\n"
    u8"1\tButton\tvisible,enabled,default\tOK\n"
    u8"-1\tStatic\tvisible,enabled\t#132\n"
    u8"-1\tStatic\tvisible,enabled\tKESTREL CHARTER 解約プログラム\n"
    u8"-1\tStatic\tvisible,enabled\tVersion 1.0\n"
    u8"-1\tStatic\tvisible,enabled\t契約終了時に KESTREL CHARTER のフォントを削除します。\n";

inline const std::string kConfirmTexts =
    u8"window\t0x94C800C4\t0x50101\tKESTREL CHARTER契約解約時のフォント削除処理\n"
    u8"-1\tStatic\tvisible,enabled\t契約解除に伴う削除処理は中断できません。\\n\\n実行してよろしいですか？\n"
    u8"1\tButton\tvisible,enabled,default\tはい\n"
    u8"2\tButton\tvisible,enabled\tいいえ\n"
    u8"-1\tStatic\tvisible,enabled\t#138\n";

// The progress window up to its status lines, which change as the run goes on.
inline const std::string kProcessTexts =
    u8"window\t0x94C00AC4\t0x10101\tKESTREL CHARTER解約プログラム\n"
    u8"-1\tStatic\tvisible,enabled\tKESTREL CHARTERフォントファイルの検索と削除を行っています。\n"
    u8"-1\tStatic\tvisible,enabled\tしばらくお待ち下さい。\n"
    u8"1032\tmsctls_progress32\tvisible,enabled\t\n"
    u8"1\tButton\thidden,disabled\t\n"
    u8"2\tButton\thidden,disabled\t\n";

// The result with `edit` in its box (as kcui prints it).
inline std::string SuccessDialogTexts(const std::string& edit) {
  return u8"window\t0x94C000C4\t0x10101\tKESTREL CHARTER解約プログラム\n"
         u8"1\tButton\tvisible,enabled,default\t了解\n"
         u8"-1\tStatic\tvisible,enabled\t以下のフォントを削除しました。\n"
         u8"1001\tEdit\tvisible,enabled\t" + edit + "\n";
}

// The box of dialog_host's "success lines N", as kcui prints it.
inline std::string SampleResultLines(int count) {
  std::string lines;
  for (int i = 1; i <= count; ++i) {
    char line[40];
    std::snprintf(line, sizeof line, "KC Sample Mincho %02d\\r\\n", i);
    lines += line;
  }
  return lines;
}

inline std::string ErrorDialogTexts(const std::string& message) {
  return u8"window\t0x94C800C4\t0x10101\tKESTREL CHARTER解約プログラム\n"
         u8"1\tButton\tvisible,enabled,default\t了解\n"
         u8"1002\tStatic\tvisible,enabled\t" + message + "\n";
}

inline const std::string kMessage1001 = u8"予期せぬエラーが発生しました。\\nマシン再起動後、今一度、実行してください。";
inline const std::string kMessage1002 = u8"お使いのOSでは、動作しません。";
inline const std::string kMessage1003 =
    u8"現在のユーザには、administrator権限がありません。\\nadministrator権限のあるユーザで実行してください。";
inline const std::string kMessage1009 =
    u8"メモリアクセス中にエラーが発生しました。\\nメモリの空き容量を確認していただき、"
    u8"マシン再起動後、今一度、実行してください。";

}  // namespace kc::e2e
