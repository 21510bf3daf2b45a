#include "afx/AfxMessageMap.h"

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code,
                                            UINT id) {
  for (; map != nullptr; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn != nullptr; ++entry) {
      if (entry->nMessage != message) continue;
      if (message == WM_COMMAND &&
          (entry->nCode != code || id < entry->nID || id > entry->nLastID)) {
        continue;
      }
      return entry;
    }
  }
  return nullptr;
}
