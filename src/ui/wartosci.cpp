#include "ui/wartosci.h"

namespace ui {

void SetControlContainer(tk::Control& ctl, tk::Control& new_container) {
  ctl.SetContainer(&new_container);
}

void PlaceControlAtAnchor(tk::Control& ctl, tk::Control& anchor, int16_t mode) {
  if (mode == 0) {
    ctl.SetTop(anchor.Top() + anchor.Height());
    ctl.SetLeft(anchor.Left());
  } else if (mode == 1) {
    ctl.SetTop(anchor.Top() - ctl.Height());
    ctl.SetLeft(anchor.Left());
  }
  ctl.SetFocus();
}

}  // namespace ui
