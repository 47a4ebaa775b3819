// The shaped transparent controls: TClearControl, TClearPanel, TClearButton.
#pragma once

#include "clearctrl/BorderStyle.h"
#include "clearctrl/ClearButton.h"
#include "clearctrl/ClearColors.h"
#include "clearctrl/ClearControl.h"
#include "clearctrl/ClearPanel.h"
