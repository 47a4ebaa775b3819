// The generic release of GDI objects. Each kind of GDI handle (regions,
// bitmaps, brushes, pens, fonts) lives in its own table; DeleteObject finds
// the kind from the handle value and hands the handle to the deleter that
// kind registered.
#pragma once

#include "platform/gdi/Handles.h"

namespace bellcut {

using HGDIOBJ = void*;

// A kind's deleter: releases the handle and returns true, or returns false
// for a handle that is not a live object of that kind (or one that may not
// be deleted now, such as a stock object or one selected into a DC).
using GdiObjectDeleter = bool (*)(HGDIOBJ);

// Registers (or replaces) the deleter of one kind and returns the one it
// replaces. A kind registers itself the first time its table is used; a kind
// that never registered has no live handles, so DeleteObject rightly answers
// false for it.
GdiObjectDeleter RegisterGdiObjectKind(HandleKind kind, GdiObjectDeleter deleter);

// Releases any GDI object; false for null, unknown, already deleted or
// undeletable handles. Never throws.
bool DeleteObject(HGDIOBJ object) noexcept;

// The kind a handle value names, or HandleKind::Count for a value that names none.
[[nodiscard]] HandleKind GdiObjectKind(HGDIOBJ object) noexcept;

}  // namespace bellcut
