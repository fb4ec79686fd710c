#pragma once
// The list of removed fonts (template 129), one per line in a read-only edit box.

#include <windows.h>

#include <string>

#include "framework/dialog-win32.h"

namespace kc {

class CSuccessDialog : public CDialog {
 public:
  explicit CSuccessDialog(HWND parent = nullptr);

  // Shows `resultText` (lines ending in CR LF) modally; returns DoModal's result.
  INT_PTR ShowResult(const std::wstring& resultText);

  std::wstring m_strResult;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
};

}  // namespace kc
