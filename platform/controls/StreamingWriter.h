// Writing components as a form resource.
//
// A component is written as an object block: its published properties in
// the class's declaration order, then the components it lists through
// GetChildren (those the root owns), in that order. A property is left out
// when its "stored" rule says so, when it equals its default, when it is an
// empty binary value, an event without a published method or a reference to
// nothing; a property without a default is always written. Nested objects
// are written as dotted properties. Written and read back, the text gives
// the same text again.
#pragma once

#include <string>

#include "platform/base/Classes.h"
#include "platform/controls/StreamingText.h"

namespace bellcut {

// The tree the resource text is made from (see FormatFormText).
[[nodiscard]] TFormObject WriteComponentTree(TComponent* Root);
[[nodiscard]] std::string WriteComponentText(TComponent* Root);

}  // namespace bellcut
