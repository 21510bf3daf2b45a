// Rectangles with the width and height helpers the windows' code uses.
#pragma once

#include <windows.h>

class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  operator LPRECT() { return this; }         // NOLINT: as the framework does
  operator LPCRECT() const { return this; }  // NOLINT
};
