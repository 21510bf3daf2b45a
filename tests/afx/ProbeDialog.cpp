#include "tests/afx/ProbeDialog.h"

ProbeApp probeApp;

BEGIN_MESSAGE_MAP(ProbeApp, CWinApp)
ON_COMMAND(ID_HELP, &ProbeApp::OnHelpCommand)
ON_COMMAND(0x8001, &ProbeApp::OnAppCommand)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(ProbeDialog, CDialogEx)
ON_BN_CLICKED(IDC_PROBE_BUTTON, &ProbeDialog::OnProbe)
ON_COMMAND_RANGE(0x7000, 0x700F, &ProbeDialog::OnRange)
END_MESSAGE_MAP()

BOOL ProbeDialog::OnInitDialog() {
  ++initCalls;
  return CDialogEx::OnInitDialog();
}

void ProbeDialog::DoDataExchange(CDataExchange* pDX) {
  CDialogEx::DoDataExchange(pDX);
  if (GetTemplateId() != IDD_PROBE) return;
  DDX_Check(pDX, IDC_PROBE_CHECK, checkValue);
  DDX_Control(pDX, IDC_PROBE_EDIT, edit);
  if (exchangeMissingControl) DDX_Check(pDX, 999, checkValue);
}

BOOL ProbeDialog::PreTranslateMessage(MSG* pMsg) {
  if (edit.GetSafeHwnd() != nullptr && pMsg->hwnd == edit.GetSafeHwnd()) {
    ++editMessagesSeen;
    if (swallowEditKeys && pMsg->message == WM_CHAR) return TRUE;
  }
  return CDialogEx::PreTranslateMessage(pMsg);
}
