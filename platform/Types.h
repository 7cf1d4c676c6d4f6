#pragma once

// The edge-based rectangle in which the print library gives all page geometry.

/**
 * A rectangle as the desktop describes one: left, top, right and bottom edges, with the right column and the
 * bottom row outside the rectangle (so Right - Left is its width). Page geometry is given this way
 * throughout.
 */
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect& other) const {
    return Left == other.Left && Top == other.Top && Right == other.Right && Bottom == other.Bottom;
  }
  bool operator!=(const TRect& other) const { return !(*this == other); }
};

/** The rectangle of those four edges. */
constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
