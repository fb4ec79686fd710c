#include "demo/demo_pc.h"

#include <algorithm>

namespace kc::demo {

namespace {

DemoEntry Product(Place place, const std::string& path, const std::string& tag,
                  const std::string& fullName, const std::string& listedAs) {
  return {place, path, Content::kProductOpenType, tag, fullName, "", true, listedAs};
}

DemoEntry ProductCollection(Place place, const std::string& path, const std::string& tag,
                            const std::string& listedAs) {
  return {place, path, Content::kProductCollection, tag, "", "", true, listedAs};
}

DemoEntry Stays(Place place, const std::string& path, Content content, const std::string& tag = "",
                const std::string& fullName = "") {
  return {place, path, content, tag, fullName, "", false, ""};
}

DemoEntry Debian(Place place, const std::string& path, const std::string& source) {
  return {place, path, Content::kDebianFont, "", "", source, false, ""};
}

DemoEntry Tool(Place place, const std::string& path) {
  return {place, path, place == Place::kProgramFiles && path.back() == '\\' ? Content::kFolder
                                                                             : Content::kPlainFile,
          "", "", "", true, ""};
}

}  // namespace

const std::vector<DemoEntry>& DemoEntries() {
  static const std::vector<DemoEntry> entries = {
      // Installed by the product: uninstalled from the Fonts folder.
      Product(Place::kFontsFolder, "KestrelMinchoPro-R.otf", "KCHS1.00 subscription",
              "ケストレル明朝 Pro R", "ケストレル明朝 Pro R"),
      Product(Place::kFontsFolder, "KestrelGothicPro-B.otf", "KCHV1.00 subscription",
              "ケストレルゴシック Pro B", "ケストレルゴシック Pro B"),
      Product(Place::kFontsFolder, "KestrelMaruPro-M.otf", "KCPL",
              "ケストレル丸ゴ Pro M", "ケストレル丸ゴ Pro M"),
      ProductCollection(Place::kFontsFolder, "KestrelGothicStd.ttc", "KCOV1.00",
                        "KestrelGothicStd"),
      // Other fonts in the Fonts folder: stay, and so do their font-table values.
      Stays(Place::kFontsFolder, "NcvlGothic-M.otf", Content::kKindOneOpenType, "Ncvl2.10",
            "エヌシーゴシック M"),
      Stays(Place::kFontsFolder, "HarborSerif-Regular.otf", Content::kOtherOpenType,
            "Licensed under the Harbor Type EULA", "Harbor Serif Regular"),
      Debian(Place::kFontsFolder, "Cantarell-Regular.otf", "Cantarell-Regular.otf"),
      Debian(Place::kFontsFolder, "Cantarell-Bold.otf", "Cantarell-Bold.otf"),
      // Copies on the data drive, deep in project folders: deleted; other fonts there stay.
      Product(Place::kSecondDrive, "デザイン\\2026年案件\\入稿データ\\fonts\\KestrelMinchoPro-L.otf",
              "KCPH", "ケストレル明朝 Pro L", "ケストレル明朝 Pro L"),
      Stays(Place::kSecondDrive, "デザイン\\2026年案件\\入稿データ\\チラシ.pdf", Content::kPlainFile),
      ProductCollection(Place::kSecondDrive, "Backup\\fonts\\old\\KestrelMaruStd.ttc", "KCHB",
                        "KestrelMaruStd"),
      // A product font whose name table gives no usable full name: listed by its file name.
      Product(Place::kSecondDrive, "Backup\\fonts\\old\\ZUSuuji-R.otf", "KCHS", "", "ZUSuuji-R"),
      Stays(Place::kSecondDrive, "Backup\\fonts\\HarborSans.ttc", Content::kOtherCollection,
            "Harbor Type collection"),
      Debian(Place::kSecondDrive, "Backup\\fonts\\TeX\\lmroman10-regular.otf",
             "lmroman10-regular.otf"),
      Debian(Place::kSecondDrive, "Backup\\fonts\\TeX\\lmmono10-regular.otf",
             "lmmono10-regular.otf"),
      Debian(Place::kSecondDrive, "Backup\\fonts\\NotoSansCJK-Regular.ttc",
             "NotoSansCJK-Regular.ttc"),
      // The user's own documents.
      Product(Place::kUserDocuments, "fonts\\KestrelKyokashoStd-R.otf", "KCHX",
              "ケストレル教科書体 Std R", "ケストレル教科書体 Std R"),
      Stays(Place::kUserDocuments, "fonts\\Harbor-License.txt", Content::kPlainFile),
      Stays(Place::kUserDocuments, "見積書.txt", Content::kPlainFile),
      // The product's tools; the user's own files and another vendor's program stay.
      Tool(Place::kUserDesktop, "DI ZadoVeve Divi Zozevozed.exe"),
      Stays(Place::kUserDesktop, "買い物メモ.txt", Content::kPlainFile),
      Tool(Place::kCommonDesktop, "Windows Vista用TrueTypeフォント トライアル版 セットアップメニュー.lnk"),
      Tool(Place::kProgramFiles, "Kestrel\\Fonts\\ZIZAV\\ZIZAVInstaller.exe"),
      Tool(Place::kProgramFiles, "Kestrel\\Fonts\\ZIZAV\\ZIZAVUninstaller.exe"),
      Tool(Place::kProgramFiles, "Kestrel\\Fonts\\ZIZAV\\メニュー.exe"),
      Tool(Place::kProgramFiles, "Kestrel\\Fonts\\ZIZAV\\"),
      Tool(Place::kProgramFiles, "Kestrel\\Fonts\\Utility\\"),
      Tool(Place::kProgramFiles, "Kestrel\\Fonts\\"),
      Tool(Place::kProgramFiles, "Kestrel\\"),
      Stays(Place::kProgramFiles, "Harbor Type\\HarborManager.exe", Content::kPlainFile),
  };
  return entries;
}

const std::vector<DemoFontValue>& DemoFontValues() {
  static const std::vector<DemoFontValue> values = {
      {"ケストレル明朝 Pro R (OpenType)", "KestrelMinchoPro-R.otf", false, true},
      {"ケストレルゴシック Pro B (OpenType)", "KestrelGothicPro-B.otf", true, true},
      {"ケストレル丸ゴ Pro M (OpenType)", "KestrelMaruPro-M.otf", false, true},
      {"ケストレルゴシック Std (TrueType)", "KestrelGothicStd.ttc", false, true},
      {"エヌシーゴシック M (OpenType)", "NcvlGothic-M.otf", false, false},
      {"Harbor Serif Regular (OpenType)", "HarborSerif-Regular.otf", true, false},
      {"Cantarell Regular (OpenType)", "Cantarell-Regular.otf", false, false},
      {"Cantarell Bold (OpenType)", "Cantarell-Bold.otf", false, false},
  };
  return values;
}

std::vector<std::string> ExpectedResultLines() {
  std::vector<std::string> lines;
  for (const DemoEntry& entry : DemoEntries()) {
    if (!entry.listedAs.empty()) lines.push_back(entry.listedAs);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace kc::demo
