// TClearPanel: a shaped container. Its face is a plain image (no press
// behaviour) and its window region comes mostly from its children; with
// ChildGraphicsTrans its windowless children add only their opaque pixels.
#pragma once

#include "clearctrl/ClearControl.h"

namespace bellcut {

class TClearPanel : public TClearControl {
 public:
  BELLCUT_CLASS_NAME(TClearPanel)
  explicit TClearPanel(TComponent* AOwner);

 protected:
  // The computed size, widened to reach the right and bottom edges of every
  // child, hidden ones included.
  void DoAutoSizeArrange(int AWidth, int AHeight) override;
};

}  // namespace bellcut
