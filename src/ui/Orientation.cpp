#include "ui/Orientation.h"

namespace lumatag::ui {

OrientationTurn TurnForOrientation(int orientation) {
  // The tag says where the stored first row and first column belong: 5 stores the picture
  // transposed (first row = left edge), 7 transposed across the other diagonal.
  switch (orientation) {
    case 2:
      return {0, true};  // mirrored
    case 3:
      return {2, false};  // upside down
    case 4:
      return {2, true};  // mirrored top to bottom
    case 5:
      return {1, true};  // transposed
    case 6:
      return {1, false};  // turned a quarter to the left when taken
    case 7:
      return {3, true};  // transposed across the other diagonal
    case 8:
      return {3, false};  // turned a quarter to the right when taken
    default:
      return {};
  }
}

}  // namespace lumatag::ui
