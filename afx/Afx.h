// The framework layer: application object, windows, dialogs, controls,
// message maps, data exchange, dynamic layout and the managers.
#pragma once

#include "AfxControls.h"
#include "AfxDataExchange.h"
#include "AfxDialog.h"
#include "AfxDynamicLayout.h"
#include "AfxGeometry.h"
#include "AfxManagers.h"
#include "AfxMessageMap.h"
#include "AfxPaintDC.h"
#include "AfxString.h"
#include "AfxWinApp.h"
#include "AfxWnd.h"
