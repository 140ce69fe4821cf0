// How a photo's Orientation tag (0x0112) turns its stored pixels for display: a number of
// clockwise quarter turns, then an optional left-to-right mirror. Values outside 1 to 8 show the
// pixels as stored.
#pragma once

namespace lumatag::ui {

struct OrientationTurn {
  int quarterTurns = 0;  // clockwise, 0 to 3
  bool mirror = false;   // left to right, after the turn

  // Whether width and height trade places.
  bool SwapsSides() const { return quarterTurns % 2 != 0; }
  bool operator==(const OrientationTurn&) const = default;
};

OrientationTurn TurnForOrientation(int orientation);

}  // namespace lumatag::ui
