// Dynamic layout: every child of a window moves and grows by its own share
// (0 to 100 percent) of the window's growth beyond its initial client size.
// The window never shrinks below its initial size, so controls keep their
// initial places rather than overlap.
#pragma once

#include <windows.h>

#include <vector>

class CWnd;

class CMFCDynamicLayout {
 public:
  struct MoveSettings {
    int m_nXRatio = 0;
    int m_nYRatio = 0;
  };
  struct SizeSettings {
    int m_nXRatio = 0;
    int m_nYRatio = 0;
  };

  // Records the host's current client and window sizes as the initial ones.
  void Create(CWnd* pHostWnd);
  // Adds a child with its current position as the initial one.
  BOOL AddItem(HWND hWnd, MoveSettings move, SizeSettings size);
  // Reads the settings of the host's children, in child order, from layout
  // resource data: a version word 0, then four words per child (move x,
  // move y, size x, size y). False for another version or a short resource.
  BOOL LoadResource(const void* data, DWORD size);
  // Moves and sizes every item for the host's current client size.
  void Adjust();
  // Keeps the host at least as large as it was initially.
  void ApplyMinTrackSize(MINMAXINFO* lpMMI) const;

  int GetItemCount() const { return static_cast<int>(items_.size()); }

 private:
  struct Item {
    HWND hWnd;
    MoveSettings move;
    SizeSettings size;
    RECT initial;  // in the host's client coordinates
  };

  static int Clamp(int ratio) { return ratio < 0 ? 0 : (ratio > 100 ? 100 : ratio); }

  HWND host_ = nullptr;
  SIZE initialClient_ = {0, 0};
  SIZE initialWindow_ = {0, 0};
  std::vector<Item> items_;
};
