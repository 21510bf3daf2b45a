// The framework layer: application object, windows, dialogs, controls,
// message maps, data exchange, dynamic layout and the managers.
#pragma once

#include "afx/AfxControls.h"
#include "afx/AfxDataExchange.h"
#include "afx/AfxDialog.h"
#include "afx/AfxDynamicLayout.h"
#include "afx/AfxGeometry.h"
#include "afx/AfxManagers.h"
#include "afx/AfxMessageMap.h"
#include "afx/AfxPaintDC.h"
#include "afx/AfxString.h"
#include "afx/AfxWinApp.h"
#include "afx/AfxWnd.h"
