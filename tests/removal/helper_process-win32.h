#pragma once
// A second process for the removal tests (tests/removal/removal_test_helper-win32.cc), which the
// test bed copies next to the test program (WINEBED_FILES).

#include <windows.h>

#include <string>

#include "common/scoped_handles-win32.h"

namespace kc {

constexpr char kListenerClass[] = "KcFontChangeListener";
constexpr char kHungWindowClass[] = "KcHungWindow";
// Sent to the listener window: returns how many WM_FONTCHANGE it has received.
constexpr UINT kListenerCountMessage = WM_APP + 1;

// Starts removal_test_helper.exe with `arguments` and waits until it reports ready; ends it (by its
// own handle) when destroyed.
class HelperProcess {
 public:
  explicit HelperProcess(const std::string& arguments);
  ~HelperProcess();
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  bool ready() const { return ready_; }
  // Why it is not ready, for the failure message.
  const std::string& failure() const { return failure_; }

 private:
  ScopedHandle process_;
  bool ready_ = false;
  std::string failure_;
};

// Holds `path` open as an application using a file holds it: reading, and sharing only reading.
inline std::string HoldArguments(const std::string& path) { return "hold \"" + path + "\""; }

// The number of WM_FONTCHANGE the running listener has seen, or -1 without a listener.
long ListenerFontChanges();

}  // namespace kc
