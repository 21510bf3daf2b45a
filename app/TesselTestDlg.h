// The console dialog, template 102: one push button per command, three
// check boxes that steer some commands, the JSON input pane and the output
// pane. It is the user interface the command bodies see (ConsoleUi); that
// base comes first, so the dialog's address, which travels through the
// library as the callbacks' user value, is also the address of its
// ConsoleUi part.
#pragma once

#include "afx/Afx.h"
#include "app/EditEnh.h"
#include "console/ConsoleUi.h"

class CTesselTestDlg : public ConsoleUi, public CDialogEx {
 public:
  explicit CTesselTestDlg(CWnd* pParent = nullptr);

  BOOL PreTranslateMessage(MSG* pMsg) override;

  // ConsoleUi
  HWND OwnerWindow() override;
  int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override;
  void AppendOutputText(const wchar_t* text) override;
  void AppendOutputLine(const wchar_t* text) override;
  BOOL RefreshOutputPane() override;
  std::optional<std::wstring> AskForFile(const FileDialogRequest& request) override;
  BOOL UpdateDataFromControls() override;
  int SignFileModeCheck() override;
  int CertFromWindowsCheck() override;
  int FilterModeCheckState() override;
  std::wstring JsonInputText() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnSize(UINT nType, int cx, int cy);

  // Commands.
  void OnSignFileJson();
  void OnSignFileFilter();
  void OnSignInfo();
  void OnIsP7S();
  void OnP7MToP7S();
  void OnDecryptVerifyFile();
  void OnEncryptFile();
  void OnSignAndEncryptFile();
  void OnExtractFile();
  void OnSelectCertificateJson();
  void OnSelectCertificate();
  void OnSelectCertificateOld();
  void OnCertInfo();
  void OnCertStoreInfoCng();
  void OnVerifyWin32();
  void OnTest();
  void OnShowSettingsDialog();
  void OnShowAboutBox();
  void OnCrlTest();

  // Runs `command` unless a command is running already: the file dialogs
  // have no owner, so the console stays clickable while one is open, and a
  // second command would load and initialise the library again while the
  // first is still inside it.
  void RunCommand(void (*command)(ConsoleUi&));

  HICON m_appIcon;
  bool m_commandRunning = false;
  CToolTipCtrl m_toolTip;
  int m_signFileMode;
  int m_certFromWindows;
  CEditEnh m_outputPane;
  CEditEnh m_jsonInput;
  CButton m_certSourceCheck;
  CButton m_signFileModeCheck;
  CButton m_filterModeCheck;

  DECLARE_MESSAGE_MAP()
};
