#include "app/TesselTestDlg.h"

#include "app/AboutDlg.h"
#include "app/resource.h"
#include "console/CertificateCommands.h"
#include "console/CommonFileDialog.h"
#include "console/CrlTestCommand.h"
#include "console/EnvelopeCommands.h"
#include "console/LibraryDialogCommands.h"
#include "console/SigningCommands.h"
#include "console/StandaloneCommands.h"

namespace {

const wchar_t kCertSourceTip[] = L"При избрано показва от Windows. В противен случай от файл.";
const wchar_t kJsonInputTip[] = L"Входящ JSON текст за SignFile или SelectCertificate.";
const wchar_t kSignModeTip[] =
    L"При избрано разкачен подпис(p7s). При чисто пакетиран(p7m). В други случай избира "
    L"потребителя.";

}  // namespace

BEGIN_MESSAGE_MAP(CTesselTestDlg, CDialogEx)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_SIZE()
ON_BN_CLICKED(IDC_SIGN_FILE_JSON, &CTesselTestDlg::OnSignFileJson)
ON_BN_CLICKED(IDC_SIGN_FILE_FILTER, &CTesselTestDlg::OnSignFileFilter)
ON_BN_CLICKED(IDC_SIGN_INFO, &CTesselTestDlg::OnSignInfo)
ON_BN_CLICKED(IDC_IS_P7S, &CTesselTestDlg::OnIsP7S)
ON_BN_CLICKED(IDC_P7M_TO_P7S, &CTesselTestDlg::OnP7MToP7S)
ON_BN_CLICKED(IDC_DECRYPT_VERIFY_FILE, &CTesselTestDlg::OnDecryptVerifyFile)
ON_BN_CLICKED(IDC_ENCRYPT_FILE, &CTesselTestDlg::OnEncryptFile)
ON_BN_CLICKED(IDC_SIGN_AND_ENCRYPT_FILE, &CTesselTestDlg::OnSignAndEncryptFile)
ON_BN_CLICKED(IDC_EXTRACT_FILE, &CTesselTestDlg::OnExtractFile)
ON_BN_CLICKED(IDC_SELECT_CERTIFICATE_JSON, &CTesselTestDlg::OnSelectCertificateJson)
ON_BN_CLICKED(IDC_SELECT_CERTIFICATE, &CTesselTestDlg::OnSelectCertificate)
ON_BN_CLICKED(IDC_SELECT_CERTIFICATE_OLD, &CTesselTestDlg::OnSelectCertificateOld)
ON_BN_CLICKED(IDC_CERT_INFO, &CTesselTestDlg::OnCertInfo)
ON_BN_CLICKED(IDC_CERT_STORE_INFO_CNG, &CTesselTestDlg::OnCertStoreInfoCng)
ON_BN_CLICKED(IDC_VERIFY_WIN32, &CTesselTestDlg::OnVerifyWin32)
ON_BN_CLICKED(IDC_TEST, &CTesselTestDlg::OnTest)
ON_BN_CLICKED(IDC_SHOW_SETTINGS_DIALOG, &CTesselTestDlg::OnShowSettingsDialog)
ON_BN_CLICKED(IDC_SHOW_ABOUT_BOX, &CTesselTestDlg::OnShowAboutBox)
ON_BN_CLICKED(IDC_CRL_TEST, &CTesselTestDlg::OnCrlTest)
END_MESSAGE_MAP()

CTesselTestDlg::CTesselTestDlg(CWnd* pParent)
    : CDialogEx(IDD_TESSELTEST_DIALOG, pParent),
      m_appIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_signFileMode(0),
      m_certFromWindows(1) {}

void CTesselTestDlg::DoDataExchange(CDataExchange* pDX) {
  CDialogEx::DoDataExchange(pDX);
  DDX_Check(pDX, IDC_SIGN_FILE_MODE, m_signFileMode);
  DDX_Control(pDX, IDC_SIGN_FILE_MODE, m_signFileModeCheck);
  DDX_Control(pDX, IDC_FILTER_MODE, m_filterModeCheck);
  DDX_Control(pDX, IDC_OUTPUT_PANE, m_outputPane);
  DDX_Check(pDX, IDC_CERT_FROM_WINDOWS, m_certFromWindows);
  DDX_Control(pDX, IDC_JSON_INPUT, m_jsonInput);
  DDX_Control(pDX, IDC_CERT_FROM_WINDOWS, m_certSourceCheck);
}

BOOL CTesselTestDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();

  if (m_toolTip.Create(this)) {
    m_toolTip.AddTool(GetDlgItem(IDC_CERT_FROM_WINDOWS), kCertSourceTip);
    m_toolTip.AddTool(GetDlgItem(IDC_JSON_INPUT), kJsonInputTip);
    m_toolTip.AddTool(GetDlgItem(IDC_SIGN_FILE_MODE), kSignModeTip);
    m_toolTip.AddTool(GetDlgItem(IDC_FILTER_MODE), kSignModeTip);
    m_toolTip.Activate(TRUE);
  }

  if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
    CString aboutMenu;
    aboutMenu.LoadString(IDS_ABOUTBOX);
    if (!aboutMenu.IsEmpty()) {
      systemMenu->AppendMenu(MF_SEPARATOR);
      systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutMenu);
    }
  }

  SetIcon(m_appIcon, TRUE);
  SetIcon(m_appIcon, FALSE);

  m_signFileModeCheck.SetCheck(BST_INDETERMINATE);
  m_filterModeCheck.SetCheck(BST_INDETERMINATE);

  // An edit control takes 30,000 characters unless told otherwise and then
  // silently drops whatever is appended or pasted beyond that; the panes
  // take as much text as the system allows.
  m_outputPane.SetLimitText(0);
  m_jsonInput.SetLimitText(0);
  return TRUE;
}

void CTesselTestDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
  } else {
    CDialogEx::OnSysCommand(nID, lParam);
  }
}

void CTesselTestDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cxIcon = ::GetSystemMetrics(SM_CXICON);
    int cyIcon = ::GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    int x = (rect.Width() - cxIcon + 1) / 2;
    int y = (rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_appIcon);
  } else {
    CDialogEx::OnPaint();
  }
}

HCURSOR CTesselTestDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_appIcon); }

void CTesselTestDlg::OnSize(UINT nType, int cx, int cy) { CDialogEx::OnSize(nType, cx, cy); }

BOOL CTesselTestDlg::PreTranslateMessage(MSG* pMsg) {
  if (m_toolTip.GetSafeHwnd() != nullptr) m_toolTip.RelayEvent(pMsg);
  return CDialogEx::PreTranslateMessage(pMsg);
}

void CTesselTestDlg::OnSignFileJson() { RunCommand(RunSignFileJson); }

void CTesselTestDlg::OnSignFileFilter() { RunCommand(RunSignFileFilter); }

void CTesselTestDlg::OnSignInfo() { RunCommand(RunSignInfo); }

void CTesselTestDlg::OnIsP7S() { RunCommand(RunIsP7S); }

void CTesselTestDlg::OnP7MToP7S() { RunCommand(RunP7MToP7S); }

void CTesselTestDlg::OnDecryptVerifyFile() { RunCommand(RunDecryptVerifyFile); }

void CTesselTestDlg::OnEncryptFile() { RunCommand(RunEncryptFile); }

void CTesselTestDlg::OnSignAndEncryptFile() { RunCommand(RunSignAndEncryptFile); }

void CTesselTestDlg::OnExtractFile() { RunCommand(RunExtractFile); }

void CTesselTestDlg::OnSelectCertificateJson() { RunCommand(RunSelectCertificateJson); }

void CTesselTestDlg::OnSelectCertificate() { RunCommand(RunSelectCertificate); }

void CTesselTestDlg::OnSelectCertificateOld() { RunCommand(RunSelectCertificateOld); }

void CTesselTestDlg::OnCertInfo() { RunCommand(RunCertInfo); }

void CTesselTestDlg::OnCertStoreInfoCng() { RunCommand(RunCertStoreInfoCng); }

void CTesselTestDlg::OnVerifyWin32() { RunCommand(RunVerifyWin32); }

void CTesselTestDlg::OnTest() { RunCommand(RunTest); }

void CTesselTestDlg::OnShowSettingsDialog() { RunCommand(RunShowSettingsDialog); }

void CTesselTestDlg::OnShowAboutBox() { RunCommand(RunShowAboutBox); }

void CTesselTestDlg::OnCrlTest() { RunCommand(RunCrlTest); }

void CTesselTestDlg::RunCommand(void (*command)(ConsoleUi&)) {
  if (m_commandRunning) return;
  m_commandRunning = true;
  struct Finished {
    bool& running;
    ~Finished() { running = false; }
  } finished{m_commandRunning};
  command(*this);
}

// ConsoleUi

HWND CTesselTestDlg::OwnerWindow() { return m_hWnd; }

int CTesselTestDlg::ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption,
                                   UINT type) {
  return ::MessageBoxW(owner, text ? text : L"", caption ? caption : AfxGetAppName(), type);
}

void CTesselTestDlg::AppendOutputText(const wchar_t* text) { m_outputPane.AppendText(text); }

void CTesselTestDlg::AppendOutputLine(const wchar_t* text) { m_outputPane.AppendLine(text); }

BOOL CTesselTestDlg::RefreshOutputPane() { return m_outputPane.UpdateData(FALSE); }

std::optional<std::wstring> CTesselTestDlg::AskForFile(const FileDialogRequest& request) {
  return ShowCommonFileDialog(request);
}

BOOL CTesselTestDlg::UpdateDataFromControls() { return UpdateData(TRUE); }

int CTesselTestDlg::SignFileModeCheck() { return m_signFileMode; }

int CTesselTestDlg::CertFromWindowsCheck() { return m_certFromWindows; }

int CTesselTestDlg::FilterModeCheckState() { return m_filterModeCheck.GetCheck(); }

std::wstring CTesselTestDlg::JsonInputText() {
  int length = m_jsonInput.GetWindowTextLength();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = ::GetWindowTextW(m_jsonInput.GetSafeHwnd(), &text[0], length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}
