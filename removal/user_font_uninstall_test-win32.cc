// UninstallUserFont against the real registry and files of a test prefix: the running user's
// table under HKEY_CURRENT_USER, another user's under HKEY_USERS (made by the test, as Windows
// loads a signed-in user's hive), a user who is signed out, a font still held by a session.
// Wine loads no user's fonts at sign-in: the test loads the font into its own session instead
// (AddFontResourceA), which is the session the removal unloads it from.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "common/open_font_file-win32.h"
#include "common/scoped_handles-win32.h"
#include "removal/user_font_uninstall.h"
#include "tests/removal/journal_recorder.h"
#include "tests/support/ansi_wide-win32.h"
#include "tests/removal/removal_fixtures-win32.h"

namespace kc {
namespace {

constexpr char kTable[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
constexpr char kOtherSid[] = "S-1-5-21-1-2-3-1001";

std::string LocalAppData() {
  char path[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, path, CSIDL_LOCAL_APPDATA, FALSE);
  return path;
}

UserFontFolder Folder(const std::string& sid, const std::string& folder, bool currentUser) {
  UserFontFolder user;
  user.sid = testsupport::WideOf(sid);
  user.folder = testsupport::WideOf(folder);
  user.currentUser = currentUser;
  return user;
}

RemovalOutcome Uninstall(UserFontFolder& folder, const std::string& fileName) {
  const std::wstring name = testsupport::WideOf(fileName);
  OpenFontFile file((folder.folder + name).c_str());
  return UninstallUserFont(file, folder, name.c_str());
}

struct Value {
  std::string key;  // below kTable: "" or a subkey
  std::string name;
  std::string data;
  bool removed;
};

void SetValues(HKEY root, const std::vector<Value>& values) {
  for (const Value& v : values) {
    const std::string key = std::string(kTable) + (v.key.empty() ? "" : "\\" + v.key);
    ASSERT_TRUE(SetRegistryString(root, key.c_str(), v.name, v.data)) << v.name;
  }
}

void ExpectValues(HKEY root, const std::vector<Value>& values) {
  for (const Value& v : values) {
    const std::string key = std::string(kTable) + (v.key.empty() ? "" : "\\" + v.key);
    std::string data;
    EXPECT_EQ(!v.removed, ReadRegistryString(root, key.c_str(), v.name, data)) << v.name << " = " << v.data;
  }
}

// The running user's table: the values whose data is the file's full path, letter case aside, go
// (in subkeys too), and every load of the font into the session is undone.
TEST(UninstallUserFont, TheRunningUsersValuesNamingTheFileGoAndEveryLoadIsUndone) {
  UserFontFolder user = Folder("S-1-5-21-0-0-0-1000", LocalAppData() + "\\Microsoft\\Windows\\Fonts\\", true);
  ASSERT_TRUE(MakeFolders(testsupport::AnsiOf(user.folder)));
  const std::string path = testsupport::AnsiOf(user.folder) + "KcUser.ttf";
  // A real font Wine does not hold already (the bed's system font is DejaVuSans.ttf), read-only.
  ASSERT_TRUE(CopyFileA("C:\\tests\\DejaVuSansMono.ttf", path.c_str(), FALSE));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_EQ(1, AddFontResourceA(path.c_str()));
  ASSERT_EQ(1, AddFontResourceA(path.c_str()));
  std::string upper = path;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  const std::vector<Value> values = {
      {"", "Kc User (TrueType)", path, true},
      {"", "Kc User again", upper, true},
      {"More", "Kc User in a subkey", path, true},
      {"", "Bare name", "KcUser.ttf", false},  // names the machine Fonts folder's file
      {"", "Another folder", "C:\\elsewhere\\KcUser.ttf", false},
      {"", "Longer", path + " ", false},
      {"", "Another font", testsupport::AnsiOf(user.folder) + "Other-R.otf", false},
  };
  SetValues(HKEY_CURRENT_USER, values);
  JournalRecorder journal;

  EXPECT_EQ(RemovalOutcome::kRemoved, Uninstall(user, "KcUser.ttf"));
  ExpectValues(HKEY_CURRENT_USER, values);
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(0, RemoveFontResourceA(path.c_str())) << "no load of it is left";
  const std::string table = std::string("HKEY_CURRENT_USER\\") + kTable + "\\";
  EXPECT_EQ((std::vector<std::string>{"value removed|" + table + "Kc User (TrueType)|" + path + "|0",
                                      "value removed|" + table + "Kc User again|" + upper + "|0",
                                      "value removed|" + table + "More\\Kc User in a subkey|" + path + "|0",
                                      "deleted|" + path + "||0"}),
            journal.lines);
}

// Another user's table under HKEY_USERS while they are signed in (made here, as Windows loads the
// hive); a font their session still holds stays; a signed-out user's table is left, said once.
TEST(UninstallUserFont, OtherUsersSignedInAndOut) {
  UserFontFolder other = Folder(kOtherSid, "C:\\users\\other\\AppData\\Local\\Microsoft\\Windows\\Fonts\\", false);
  UserFontFolder away = Folder("S-1-5-21-1-2-3-1002", "C:\\users\\away\\AppData\\Local\\Microsoft\\Windows\\Fonts\\", false);
  for (const std::string& file : {testsupport::AnsiOf(other.folder) + "KcOther-M.otf", testsupport::AnsiOf(other.folder) + "KcOther-B.otf",
                                  testsupport::AnsiOf(away.folder) + "KcAway-M.otf", testsupport::AnsiOf(away.folder) + "KcAway.ttc"}) {
    ASSERT_TRUE(MakeFolders(file.substr(0, file.rfind('\\') + 1)) && MakeFile(file)) << file;
  }
  ScopedRegKey hive;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_USERS, kOtherSid, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           hive.receive(), nullptr));
  const std::vector<Value> values = {
      {"", "Kc Other M (OpenType)", testsupport::AnsiOf(other.folder) + "KcOther-M.otf", true},
      {"", "Kc Other B (OpenType)", testsupport::AnsiOf(other.folder) + "KcOther-B.otf", true},
      {"", "Kc Other R (OpenType)", testsupport::AnsiOf(other.folder) + "KcOther-R.otf", false},
  };
  SetValues(hive.get(), values);
  // Still loaded in that user's session: held, as a session holds a font it loaded.
  const ScopedHandle session(CreateFileA((testsupport::AnsiOf(other.folder) + "KcOther-B.otf").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(session.valid());
  JournalRecorder journal;

  EXPECT_EQ(RemovalOutcome::kRemoved, Uninstall(other, "KcOther-M.otf"));
  EXPECT_EQ(RemovalOutcome::kStillOnDisk, Uninstall(other, "KcOther-B.otf"));
  EXPECT_EQ(RemovalOutcome::kRemoved, Uninstall(away, "KcAway-M.otf"));
  EXPECT_EQ(RemovalOutcome::kRemoved, Uninstall(away, "KcAway.ttc"));
  ExpectValues(hive.get(), values);
  EXPECT_TRUE(FileExists(testsupport::AnsiOf(other.folder) + "KcOther-B.otf")) << "nothing is left to a restart in a user's folder";
  EXPECT_TRUE(PendingDeletions().empty());
  const std::vector<std::string> tail(journal.lines.end() - 4, journal.lines.end());
  EXPECT_EQ((std::vector<std::string>{"in user session|" + testsupport::AnsiOf(other.folder) + "KcOther-B.otf||32",
                                      "user table not loaded|S-1-5-21-1-2-3-1002|" + testsupport::AnsiOf(away.folder) + "|0",
                                      "deleted|" + testsupport::AnsiOf(away.folder) + "KcAway-M.otf||0",
                                      "deleted|" + testsupport::AnsiOf(away.folder) + "KcAway.ttc||0"}),
            tail);
  HKEY none = nullptr;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_USERS, testsupport::AnsiOf(away.sid).c_str(), 0, KEY_READ, &none)) << "no hive was loaded";
}

}  // namespace
}  // namespace kc
