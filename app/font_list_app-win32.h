#pragma once
// The application object: shows the main screen modally; when it closes, the program ends.

#include "framework/win_app-win32.h"

namespace kc {

class CFontListApp : public CWinApp {
 public:
  BOOL InitInstance() override;

 protected:
  const CommandMap* GetCommandMap() const override { return &kCommandMap; }

 private:
  static const CommandMapEntry kCommandEntries[];
  static const CommandMap kCommandMap;
};

}  // namespace kc
