// The About box, template 100: the icon, the name and version, OK.
#pragma once

#include "afx/Afx.h"

class CAboutDlg : public CDialogEx {
 public:
  CAboutDlg();
};
