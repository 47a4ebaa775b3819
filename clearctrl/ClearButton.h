// TClearButton: a shaped push button with light and shadow edges around its
// picture and caption, a darker pressed face, a lightened hot face and a
// grey disabled face.
#pragma once

#include "clearctrl/ClearControl.h"

namespace bellcut {

class TClearButton : public TClearControl {
 public:
  BELLCUT_CLASS_NAME(TClearButton)
  explicit TClearButton(TComponent* AOwner);
};

}  // namespace bellcut
