// Dialogs. A modal dialog runs the way the framework has always run it:
// created modeless from its template with the owner disabled, then driven by
// a loop of its own that offers each message to PreTranslateMessage (which
// ends in IsDialogMessage) before dispatching it, until EndDialog.
#pragma once

#include "afx/AfxWnd.h"

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Runs the dialog modally and returns the value given to EndDialog, or
  // -1 when the dialog could not be created.
  virtual INT_PTR DoModal();
  // Ends the modal loop with nResult; the dialog is destroyed by DoModal.
  void EndDialog(int nResult);

  BOOL PreTranslateMessage(MSG* pMsg) override;

  UINT GetTemplateId() const { return m_nIDHelp; }

 protected:
  // Runs the data exchange to the controls; TRUE lets the dialog manager set
  // the focus to the first tab stop.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  BOOL OnCmdMsg(UINT nID, int nCode) override;

  LPCWSTR m_lpszTemplateName;
  UINT m_nIDHelp;
  CWnd* m_pParentWnd;

 private:
  static INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  BOOL HandleInitDialog(HWND hWnd);
  int RunModalLoop();
  HWND SafeOwner() const;

  bool continueModal_ = false;
  int modalResult_ = -1;

  DECLARE_MESSAGE_MAP()
};

// The framework's extended dialog. Its extras (background colours and
// images drawn by the visual manager) are appearance only.
class CDialogEx : public CDialog {
 public:
  explicit CDialogEx(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
      : CDialog(nIDTemplate, pParentWnd) {}
};
