// The window-region composition of TClearControl: the deferred and merged
// requests (UpdateRgn, CMUpdateRgn) and the composition itself (WinRgnSet,
// AddChildRuns).
//
// The composition renders the graphic children into a buffer filled with
// the transparent colour (the control's own face stays out of it), starts
// from a base region, adds every visible child and applies the union to the
// window, and with FormTrans also to the top-level form.
#include <algorithm>
#include <memory>

#include "clearctrl/ClearControl.h"
#include "clearctrl/OwnedRgn.h"
#include "clearctrl/PixelRuns.h"
#include "platform/base/Exceptions.h"
#include "platform/gdi/Gdi.h"

namespace bellcut {
namespace {

using clear_detail::ForEachOpaqueRun;
using clear_detail::OwnedRgn;
using clear_detail::TransparentKey;

// The single far-away pixel that stands in for an empty composition, so the
// window then shows nothing (an empty region would mean "no region").
constexpr TRect kPlaceholder{-3000, -3000, -2999, -2999};

void AddRect(HRGN Target, HRGN Scratch, const TRect& R) {
  SetRectRgn(Scratch, R.Left, R.Top, R.Right, R.Bottom);
  CombineRgn(Target, Target, Scratch, RGN_OR);
}

[[nodiscard]] bool RegionEmpty(HRGN Rgn) {
  TRect box;
  GetRgnBox(Rgn, &box);
  return IsRectEmpty(box);
}

}  // namespace

void TClearControl::UpdateRgn() {
  if (!HandleAllocated()) return;
  if (!FRgnImmediate) {
    PostMessage(Handle(), CM_UPDATERGN, 0, 0);
    return;
  }
  if (const auto* parent = dynamic_cast<const TClearControl*>(Parent()); parent != nullptr && parent->FUpdateCount != 0)
    return;
  WinRgnSet(FPressed && FPressedInside);
}

void TClearControl::CMUpdateRgn(TMessage& /*Message*/) {
  // A later request is still queued: it will do the work, so a burst of
  // requests ends in one build, run by the last of them.
  MSG waiting;
  if (PeekMessage(&waiting, Handle(), CM_UPDATERGN, CM_UPDATERGN, PM_NOREMOVE)) return;
  FRgnImmediate = true;
  try {
    UpdateRgn();
  } catch (...) {
    FRgnImmediate = false;
    throw;
  }
  FRgnImmediate = false;
}

void TClearControl::AddChildRuns(const TControl& Child, const TBitmap& Buffer, HRGN Region, HRGN Scratch) {
  // A child reaching past any edge is scanned only where the buffer is.
  const int x0 = std::max(Child.Left(), 0);
  const int y0 = std::max(Child.Top(), 0);
  const int x1 = std::min(Child.Left() + Child.Width() - 1, Buffer.Width() - 1);
  const int y1 = std::min(Child.Top() + Child.Height() - 1, Buffer.Height() - 1);
  if (x1 < x0) return;
  const TransparentKey key(FTransparentColor);
  for (int y = y0; y <= y1; ++y)
    ForEachOpaqueRun(Buffer.ScanLine(y), x0, x1, key,
                     [&](int start, int end) { AddRect(Region, Scratch, {start, y, end, y + 1}); });
}

void TClearControl::WinRgnSet(bool Down) {
  if (Designing() && !FOptions.Contains(sioTransAtDesigning)) {
    Invalidate();
    return;
  }
  if (Loading() || !Visible()) return;
  if (FUpdateCount != 0) {
    MessageBeep(0);
    return;
  }
  // A paint holds the canvas: skip without retrying.
  if (!Canvas().TryLock()) return;
  struct Unlocker {
    TCanvas& canvas;
    ~Unlocker() { canvas.Unlock(); }
  } unlocker{Canvas()};

  OwnedRgn composed;
  {
    TBitmap buffer;
    // The fill below writes every pixel: no need to zero the block first.
    buffer.SetSurface(Dib::Uninitialized(Width(), Height(), 24));
    TCanvas& canvas = buffer.Canvas();
    canvas.Brush().SetColor(FTransparentColor);
    canvas.FillRect(Rect(0, 0, Width(), Height()));

    // The platform's paint handling calls PaintWindow, silent now, then
    // paints every visible graphic child at its place in child order.
    FPaintingToBuffer = true;
    try {
      Perform(WM_PAINT, reinterpret_cast<WPARAM>(canvas.Handle()), 0);
    } catch (...) {
      FPaintingToBuffer = false;
      throw;
    }
    FPaintingToBuffer = false;

    if (HRGN base = Down ? FDownRgn : FUpRgn; base != nullptr) CombineRgn(composed.Get(), base, nullptr, RGN_COPY);

    OwnedRgn scratch;
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* child = Controls(i);
      if (child == FExcludedControl || !child->Visible()) continue;
      const TRect bounds = child->BoundsRect();
      if (auto* windowed = dynamic_cast<TWinControl*>(child)) {
        SetRectRgn(scratch.Get(), 0, 0, 0, 0);
        GetWindowRgn(windowed->Handle(), scratch.Get());
        if (RegionEmpty(scratch.Get()))
          SetRectRgn(scratch.Get(), bounds.Left, bounds.Top, bounds.Right, bounds.Bottom);
        else
          OffsetRgn(scratch.Get(), bounds.Left, bounds.Top);
        CombineRgn(composed.Get(), composed.Get(), scratch.Get(), RGN_OR);
      } else if (FChildGraphicsTrans && dynamic_cast<TGraphicControl*>(child) != nullptr) {
        AddChildRuns(*child, buffer, composed.Get(), scratch.Get());
      } else {
        AddRect(composed.Get(), scratch.Get(), bounds);
      }
    }
  }  // the buffer goes here

  if (RegionEmpty(composed.Get()))
    SetRectRgn(composed.Get(), kPlaceholder.Left, kPlaceholder.Top, kPlaceholder.Right, kPlaceholder.Bottom);
  OwnedRgn window;
  CombineRgn(window.Get(), composed.Get(), nullptr, RGN_COPY);

  TWinControl* top = Parent();
  while (top != nullptr && top->Parent() != nullptr) top = top->Parent();
  if (FFormTrans && top != nullptr) {
    OwnedRgn form;
    CombineRgn(form.Get(), composed.Get(), nullptr, RGN_COPY);
    // The form's region is in its window coordinates (frame included),
    // the control's in its client coordinates.
    const TPoint S = ClientToScreen(Point(0, 0));
    const TPoint D = S - Point(top->Left(), top->Top());
    const TPoint P = top->ScreenToClient(S + D);
    OffsetRgn(form.Get(), P.X - Left(), P.Y - Top());
    SetWindowRgn(Handle(), window.Release(), TRUE);
    SetWindowRgn(top->Handle(), form.Release(), TRUE);
  } else {
    // FormTrans on a control without a parent control has no form to cut:
    // only its own window takes the region.
    SetWindowRgn(Handle(), window.Release(), TRUE);
    if (auto* parent = dynamic_cast<TClearControl*>(Parent()); parent != nullptr && parent->HandleAllocated())
      PostMessage(parent->Handle(), CM_UPDATERGN, 0, 0);
  }
  ++compositions_;
}

}  // namespace bellcut
