// Streaming vocabulary of the control classes: the value names of their
// enumerations and sets and the cursor identifiers, for classes that publish
// Align, Anchors, DragMode, DragKind, HelpType, Cursor or DragCursor.
// TControl itself publishes Left, Top, Width, Height, Cursor, Hint,
// HelpType, HelpKeyword and HelpContext (after TComponent's Name and Tag).
#pragma once

#include <memory>

#include "platform/controls/StreamingRegistry.h"

namespace bellcut {

[[nodiscard]] const std::shared_ptr<const TEnumInfo>& AlignInfo();       // alNone .. alCustom
[[nodiscard]] const std::shared_ptr<const TEnumInfo>& AnchorKindInfo();  // akLeft .. akBottom
[[nodiscard]] const std::shared_ptr<const TEnumInfo>& DragModeInfo();
[[nodiscard]] const std::shared_ptr<const TEnumInfo>& DragKindInfo();
[[nodiscard]] const std::shared_ptr<const TEnumInfo>& HelpTypeInfo();
// crDefault, crArrow, crDrag, ... with their numbers.
[[nodiscard]] const std::shared_ptr<const TIdentMap>& CursorIdents();

}  // namespace bellcut
