#pragma once
// The error message (template 130): one string-table message, shown modally.

#include <windows.h>

#include <string>

#include "framework/dialog-win32.h"

namespace kc {

class CErrorDialog : public CDialog {
 public:
  explicit CErrorDialog(HWND parent = nullptr);

  // Loads string `id` into the message and shows the dialog; returns DoModal's result. An id that
  // no module holds shows the dialog with an empty message.
  INT_PTR ShowMessage(UINT id);

  std::wstring m_strMessage;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  const MessageMap* GetMessageMap() const override { return &kMessageMap; }

 private:
  static const MessageMapEntry kMessageEntries[];
  static const MessageMap kMessageMap;
};

}  // namespace kc
