// A dialog and an application object that record what the framework does
// with them.
#pragma once

#include <atomic>
#include <vector>

#include "afx/Afx.h"
#include "tests/afx/AfxTestResource.h"

class ProbeApp : public CWinApp {
 public:
  ProbeApp() : CWinApp(L"AfxProbe") {}
  std::atomic<int> helpCommands{0};
  std::atomic<int> appCommands{0};

 protected:
  void OnHelpCommand() { ++helpCommands; }
  void OnAppCommand() { ++appCommands; }

  DECLARE_MESSAGE_MAP()
};

extern ProbeApp probeApp;

class ProbeDialog : public CDialogEx {
 public:
  explicit ProbeDialog(UINT templateId = IDD_PROBE) : CDialogEx(templateId) {}

  BOOL PreTranslateMessage(MSG* pMsg) override;

  // Written by the UI thread, read by the test after the dialog ended or
  // through the window.
  std::atomic<int> clicks{0};
  std::atomic<int> lastRangeId{0};
  std::atomic<int> editMessagesSeen{0};  // messages for the edit offered to PreTranslateMessage
  std::atomic<int> initCalls{0};
  std::atomic<bool> swallowEditKeys{false};
  int checkValue = 2;
  bool exchangeMissingControl = false;
  CEdit edit;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  void OnProbe() { ++clicks; }
  void OnRange(UINT id) { lastRangeId = static_cast<int>(id); }

  DECLARE_MESSAGE_MAP()
};
