// Replays a fuzz target's corpus as an ordinary test: every file in the folders (or the files)
// named on the command line goes through the target once. A crash, a sanitizer report or an
// abort fails the test; an empty corpus fails it too, so a lost corpus is noticed. With
// -timeout=N, as for libFuzzer, an input that takes longer than N seconds fails it as well, so
// that a slow input is a finding here too.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Seconds the input took.
double Replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto started = std::chrono::steady_clock::now();
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

}  // namespace

int main(int argc, char** argv) {
  const char kTimeoutOption[] = "-timeout=";
  double timeout = 0;  // none
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kTimeoutOption, sizeof kTimeoutOption - 1) == 0) {
      timeout = std::atof(argv[i] + sizeof kTimeoutOption - 1);
      continue;
    }
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else {
      inputs.push_back(arg);
    }
  }
  int slow = 0;
  for (const auto& input : inputs) {
    const double seconds = Replay(input);
    if (timeout > 0 && seconds > timeout) {
      std::printf("slow input: %s took %.2f s (limit %.2f s)\n", input.string().c_str(), seconds, timeout);
      ++slow;
    }
  }
  std::printf("replayed %zu inputs, %d slow\n", inputs.size(), slow);
  return !inputs.empty() && slow == 0 ? 0 : 1;
}
