#include "tests/fonts/scratch_dir.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace kc::testfonts {

ScratchDir::ScratchDir() {
  static std::atomic<int> serial{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("kc-fonts-" + std::to_string(stamp) + "-" + std::to_string(serial++));
  std::filesystem::create_directories(dir);
  dir_ = dir.string();
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string ScratchDir::Path(const std::string& name) const {
  return (std::filesystem::path(dir_) / name).string();
}

}  // namespace kc::testfonts
