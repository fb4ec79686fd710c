#pragma once
// A private folder for one test's font files, removed with everything in it at the end.

#include <string>

namespace kc::testfonts {

class ScratchDir {
 public:
  ScratchDir();  // a new, empty folder under the system's temporary folder
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The path of `name` inside the folder.
  std::string Path(const std::string& name) const;

 private:
  std::string dir_;
};

}  // namespace kc::testfonts
