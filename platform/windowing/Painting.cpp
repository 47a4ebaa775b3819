// Painting: update regions, the paint cycle, device contexts on the
// top-level surfaces, the window frame, and the composition of the screen.
//
// Each top-level window draws into its own 32-bit surface, frame included.
// A window's drawing is clipped to what of it can be seen on that surface
// (its region, its ancestors' client areas and regions, the siblings above
// it, its visible children), so the surface always holds exactly what the
// window shows. The screen is composed from the surfaces in z-order, each
// through its window region. Reading a window's DC therefore reads what the
// window shows; only pixels covered by another top-level window differ from
// the screen there.
#include <algorithm>
#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiGuards.h"
#include "platform/gdi/RegionApi.h"
#include "platform/graphics/Text.h"
#include "platform/windowing/WindowSystem.h"

namespace bellcut {
namespace windowing {

Region WindowSystem::ShapeInTop(const Window* w) {
  const TPoint o = WindowOriginInTop(w);
  Region shape(Bounds(o.X, o.Y, w->Rect.Width(), w->Rect.Height()));
  if (w->WindowRgn) {
    Region r = *w->WindowRgn;
    r.Offset(o.X, o.Y);
    shape.Intersect(r);
  }
  return shape;
}

Region WindowSystem::VisibleInTop(const Window* w, bool clientOnly) const {
  if (!Visible(w)) return {};
  Region r = ShapeInTop(w);
  if (clientOnly) {
    const TPoint o = WindowOriginInTop(w);
    r.Intersect(ClientRectInWindow(w).Offset(o.X, o.Y));
  }
  for (const Window* x = w; x->Parent != nullptr; x = x->Parent) {
    const Window* p = x->Parent;
    const TPoint po = WindowOriginInTop(p);
    r.Intersect(ClientRectInWindow(p).Offset(po.X, po.Y));
    r.Intersect(ShapeInTop(p));
    const auto& sib = p->Children;
    for (auto it = std::find(sib.begin(), sib.end(), x) + 1; it != sib.end(); ++it)
      if (((*it)->Style & WS_VISIBLE) != 0) r.Subtract(ShapeInTop(*it));
  }
  for (const Window* c : w->Children)
    if ((c->Style & WS_VISIBLE) != 0) r.Subtract(ShapeInTop(c));
  return r;
}

void WindowSystem::InvalidateClient(Window* w, const Region& clientArea, bool erase) {
  const TRect c = ClientRectInWindow(w);
  Region a = clientArea;
  a.Intersect(TRect{0, 0, c.Width(), c.Height()});
  if (a.IsEmpty()) return;
  w->Update.Union(a);
  if (erase) w->EraseNeeded = true;
}

void WindowSystem::InvalidateTree(Window* top, const Region& area) {
  std::vector<Window*> stack{top};
  while (!stack.empty()) {
    Window* x = stack.back();
    stack.pop_back();
    if ((x->Style & WS_VISIBLE) == 0) continue;
    Region part = area;
    part.Intersect(ShapeInTop(x));
    if (part.IsEmpty()) continue;
    const TPoint co = ClientOriginInTop(x);
    const TPoint wo = WindowOriginInTop(x);
    const TRect client = ClientRectInWindow(x).Offset(wo.X, wo.Y);
    Region frame = part;
    frame.Subtract(Region(client));
    if (!frame.IsEmpty()) x->FrameNeeded = true;
    part.Intersect(client);
    part.Offset(-co.X, -co.Y);
    InvalidateClient(x, part, true);
    for (Window* c : x->Children) stack.push_back(c);
  }
}

void WindowSystem::InvalidateWholeTree(Window* w) {
  std::vector<Window*> stack{w};
  while (!stack.empty()) {
    Window* x = stack.back();
    stack.pop_back();
    const TRect c = ClientRectInWindow(x);
    x->Update = Region(TRect{0, 0, c.Width(), c.Height()});
    x->EraseNeeded = true;
    x->FrameNeeded = true;
    for (Window* ch : x->Children) stack.push_back(ch);
  }
}

Window* WindowSystem::FindPaintable(HWND filter) const {
  if (filter == HWND_THREAD_ONLY) return nullptr;
  auto needs = [](const Window* x) { return Visible(x) && (!x->Update.IsEmpty() || x->FrameNeeded); };
  if (filter != nullptr) {
    Window* w = Find(filter);
    return w != nullptr && needs(w) ? w : nullptr;
  }
  // Parents before their children, top-level windows from the top down.
  std::vector<Window*> stack(root_.Children.begin(), root_.Children.end());
  while (!stack.empty()) {
    Window* x = stack.back();
    stack.pop_back();
    if ((x->Style & WS_VISIBLE) == 0) continue;
    if (needs(x)) return x;
    for (auto it = x->Children.rbegin(); it != x->Children.rend(); ++it) stack.push_back(*it);
  }
  return nullptr;
}

void WindowSystem::PaintNow(Window* w) {
  if (!Visible(w) || (w->Update.IsEmpty() && !w->FrameNeeded)) return;
  MSG paint{w->Handle, WM_PAINT, 0, 0, static_cast<DWORD>(Now()), Cursor};
  DispatchMessage(&paint);
}

void WindowSystem::FinishPaintDispatch(Window* w) {
  // A handler that neither painted nor validated would get WM_PAINT again
  // at once and for ever; the window system validates for it instead.
  if (w->PaintServed) return;
  if (w->FrameNeeded) {
    w->FrameNeeded = false;
    SendMessage(w->Handle, WM_NCPAINT, 1, 0);
  }
  if (Window* again = Find(w->Handle)) {
    again->Update.SetEmpty();
    again->EraseNeeded = false;
  }
}

HDC WindowSystem::MakeDC(Window* w, bool clientOnly, const std::optional<Region>& clip) {
  Window* top = TopOf(w);
  // Deleted again if working out its clip or recording it fails.
  ScopedDC dc(CreateSurfaceDC(top->Surface.get()));
  DeviceContext* d = DCFromHandle(dc.get());
  if (d == nullptr) return nullptr;
  // Device (0, 0) is the corner of the client area (or of the window): the
  // viewport origin and selected clip regions count from there, not from
  // the top-level surface's corner.
  d->DeviceOrigin = clientOnly ? ClientOriginInTop(w) : WindowOriginInTop(w);
  d->Origin = d->DeviceOrigin;
  d->VisRgn = clip ? *clip : VisibleInTop(w, clientOnly);
  WindowDcs.emplace_back(dc.get(), top);
  return dc.release();
}

void WindowSystem::DropDC(HDC dc) {
  const auto it = std::find_if(WindowDcs.begin(), WindowDcs.end(), [&](const auto& e) { return e.first == dc; });
  if (it == WindowDcs.end()) return;
  WindowDcs.erase(it);
  DeleteDC(dc);
}

void WindowSystem::ReleaseSurfaceDCs(Window* top) {
  // DCs still out on a destroyed window draw nothing until released.
  for (auto& [dc, owner] : WindowDcs) {
    if (owner != top) continue;
    if (DeviceContext* d = DCFromHandle(dc)) {
      d->Surface = nullptr;
      d->VisRgn = Region();
    }
    owner = nullptr;
  }
}

void WindowSystem::DrawFrame(Window* w) {
  const TRect in = Insets(w->Style, w->ExStyle);
  if (in.Left == 0 && in.Top == 0) return;
  const int width = w->Rect.Width();
  const int height = w->Rect.Height();
  Region area = VisibleInTop(w, false);
  const TPoint o = WindowOriginInTop(w);
  area.Subtract(Region(ClientRectInWindow(w).Offset(o.X, o.Y)));
  if (area.IsEmpty()) return;
  // Text layout may throw: the DC and the brushes and pen go back on every path.
  const ScopedDC frameDc(MakeDC(w, false, area), [](HDC d) { WS().DropDC(d); });
  const HDC dc = frameDc.get();
  if (dc == nullptr) return;
  auto fill = [&](TRect r, int sysColor) {
    const ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(GetSysColor(sysColor)));
    FillRect(dc, r, brush.get());
  };
  // Outer dark line, then the face colour for the rest of the border.
  fill({0, 0, width, height}, COLOR_3DDKSHADOW);
  fill({1, 1, width - 1, height - 1}, COLOR_BTNFACE);
  const bool caption = (w->Style & WS_CAPTION) == WS_CAPTION;
  if (caption) {
    const int bar = in.Top - in.Left;
    const TRect barRect{in.Left, in.Left, width - in.Right, in.Left + bar - 1};
    fill(barRect, COLOR_ACTIVECAPTION);
    if (!w->Text.empty()) {
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
      TRect textRect{barRect.Left + 3, barRect.Top, barRect.Right - bar, barRect.Bottom};
      DrawTextA(dc, w->Text.c_str(), static_cast<int>(w->Text.size()), &textRect,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if ((w->Style & WS_SYSMENU) != 0) {
      const TRect button = CloseButtonRect(w);
      fill(button, COLOR_BTNFACE);
      const ScopedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT)));
      const ScopedSelectObject selected(dc, pen.get());
      const int m = 3;
      for (int d = 0; d < 2; ++d) {  // a two-pixel-wide cross
        MoveToEx(dc, button.Left + m + d, button.Top + m, nullptr);
        LineTo(dc, button.Right - m + d, button.Bottom - m);
        MoveToEx(dc, button.Right - m - 1 + d, button.Top + m, nullptr);
        LineTo(dc, button.Left + m - 1 + d, button.Bottom - m);
      }
    }
  }
}

TRect WindowSystem::CloseButtonRect(const Window* w) {
  const TRect in = Insets(w->Style, w->ExStyle);
  const int bar = in.Top - in.Left;
  const int side = std::max(bar - 4, 0);
  const int right = w->Rect.Width() - in.Right - 2;
  const int top = in.Left + 2;
  return {right - side, top, right, top + side};
}

Dib WindowSystem::Compose(const TRect& area) const {
  Dib screen(area.Width(), area.Height(), 32);
  screen.Fill(GetSysColor(COLOR_BACKGROUND));
  for (const Window* top : root_.Children) {
    if ((top->Style & WS_VISIBLE) == 0 || !top->Surface) continue;
    Region shape = ShapeInTop(top);
    shape.Offset(top->Rect.Left, top->Rect.Top);
    shape.Intersect(area);
    for (const TRect& r : shape.Rects()) {
      for (int y = r.Top; y < r.Bottom; ++y) {
        const std::uint8_t* src = top->Surface->ScanLine(y - top->Rect.Top) + 4 * (r.Left - top->Rect.Left);
        std::uint8_t* dst = screen.ScanLine(y - area.Top) + 4 * (r.Left - area.Left);
        std::memcpy(dst, src, static_cast<std::size_t>(4 * r.Width()));
      }
    }
  }
  return screen;
}

}  // namespace windowing

using windowing::WS;
using windowing::Window;
using windowing::WindowSystem;

namespace {

// The region behind rgn, a rectangle, or the whole client area, in client coordinates.
Region AreaOf(Window* w, const TRect* rect, HRGN rgn) {
  if (rgn != nullptr) {
    const Region* r = RegionFromHandle(rgn);
    return r != nullptr ? *r : Region();
  }
  if (rect != nullptr) return Region(*rect);
  const TRect c = WindowSystem::ClientRectInWindow(w);
  return Region(TRect{0, 0, c.Width(), c.Height()});
}

void ForSubtree(Window* w, bool children, const std::function<void(Window*)>& f) {
  f(w);
  if (!children) return;
  for (Window* c : std::vector<Window*>(w->Children)) ForSubtree(c, true, f);
}

}  // namespace

BOOL InvalidateRect(HWND hwnd, const TRect* rect, BOOL erase) {
  return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? UINT{RDW_ERASE} : 0u));
}

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  if (rgn != nullptr && RegionFromHandle(rgn) == nullptr) return FALSE;
  return RedrawWindow(hwnd, nullptr, rgn, RDW_INVALIDATE | (erase ? UINT{RDW_ERASE} : 0u));
}

BOOL ValidateRect(HWND hwnd, const TRect* rect) { return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE); }

BOOL ValidateRgn(HWND hwnd, HRGN rgn) {
  if (rgn != nullptr && RegionFromHandle(rgn) == nullptr) return FALSE;
  return RedrawWindow(hwnd, nullptr, rgn, RDW_VALIDATE);
}

BOOL GetUpdateRect(HWND hwnd, TRect* rect, BOOL) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return FALSE;
  if (rect != nullptr) *rect = w->Update.Bounds();
  return w->Update.IsEmpty() ? FALSE : TRUE;
}

BOOL RedrawWindow(HWND hwnd, const TRect* rect, HRGN rgn, UINT flags) {
  if (hwnd == nullptr) {
    // The whole desktop: every top-level window.
    for (Window* top : std::vector<Window*>(WS().Root().Children)) RedrawWindow(top->Handle, rect, rgn, flags);
    return TRUE;
  }
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return FALSE;
  const Region area = AreaOf(w, rect, rgn);
  const bool children = (flags & RDW_ALLCHILDREN) != 0;
  if ((flags & RDW_INVALIDATE) != 0) {
    if (children) {
      Region inTop = area;
      const TPoint co = WindowSystem::ClientOriginInTop(w);
      inTop.Offset(co.X, co.Y);
      ForSubtree(w, true, [&](Window* x) {
        Region part = inTop;
        const TPoint xo = WindowSystem::ClientOriginInTop(x);
        part.Offset(-xo.X, -xo.Y);
        WS().InvalidateClient(x, part, (flags & RDW_ERASE) != 0);
      });
    } else {
      WS().InvalidateClient(w, area, (flags & RDW_ERASE) != 0);
    }
    if ((flags & RDW_FRAME) != 0) w->FrameNeeded = true;
  }
  if ((flags & RDW_VALIDATE) != 0) {
    ForSubtree(w, children, [&](Window* x) {
      if (x == w) {
        x->Update.Subtract(area);
      } else {
        Region part = area;
        const TPoint d = WindowSystem::ClientOriginInTop(w) - WindowSystem::ClientOriginInTop(x);
        part.Offset(d.X, d.Y);
        x->Update.Subtract(part);
      }
      if (x->Update.IsEmpty()) x->EraseNeeded = false;
      x->PaintServed = true;
    });
    if ((flags & RDW_NOFRAME) == 0 && rect == nullptr && rgn == nullptr) w->FrameNeeded = false;
  }
  if ((flags & RDW_UPDATENOW) != 0) {
    std::vector<HWND> order;
    ForSubtree(w, children, [&](Window* x) { order.push_back(x->Handle); });
    for (HWND h : order)
      if (Window* x = WS().Find(h)) WS().PaintNow(x);
  }
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return FALSE;
  WS().PaintNow(w);
  return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr || ps == nullptr) return nullptr;
  w->PaintServed = true;
  if (w->FrameNeeded) {
    w->FrameNeeded = false;
    SendMessage(hwnd, WM_NCPAINT, 1, 0);
    w = WS().Find(hwnd);
    if (w == nullptr) return nullptr;
  }
  Region update = std::move(w->Update);
  w->Update = Region();
  const bool erase = w->EraseNeeded;
  w->EraseNeeded = false;
  Region clip = update;
  const TPoint co = WindowSystem::ClientOriginInTop(w);
  clip.Offset(co.X, co.Y);
  clip.Intersect(WS().VisibleInTop(w, true));
  // Given back if the erase handler throws; EndPaint gives it back otherwise.
  ScopedDC dc(WS().MakeDC(w, true, clip), [](HDC d) { WS().DropDC(d); });
  *ps = {};
  ps->hdc = dc.get();
  ps->rcPaint = update.Bounds();
  ps->fErase = TRUE;
  if (erase && dc) ps->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0) == 0;
  return dc.release();
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps) {
  if (ps == nullptr || ps->hdc == nullptr) return FALSE;
  WS().DropDC(ps->hdc);
  return TRUE;
}

HDC GetDC(HWND hwnd) {
  Window* w = WS().Find(hwnd);
  return w != nullptr ? WS().MakeDC(w, true, std::nullopt) : nullptr;
}

HDC GetWindowDC(HWND hwnd) {
  Window* w = WS().Find(hwnd);
  return w != nullptr ? WS().MakeDC(w, false, std::nullopt) : nullptr;
}

int ReleaseDC(HWND, HDC dc) {
  auto& dcs = WS().WindowDcs;
  const bool ours = std::any_of(dcs.begin(), dcs.end(), [&](const auto& e) { return e.first == dc; });
  if (!ours) return 0;
  WS().DropDC(dc);
  return 1;
}

int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw) {
  Window* w = WS().Find(hwnd);
  if (w == nullptr) return 0;
  std::optional<Region> taken;
  if (rgn != nullptr) {
    taken = TakeRegionFromHandle(rgn);
    if (!taken) return 0;
  }
  const bool visible = WindowSystem::Visible(w);
  Region before = WindowSystem::IsTopLevel(w) ? Region() : WindowSystem::ShapeInTop(w);
  w->WindowRgn = std::move(taken);
  if (!visible) return 1;
  if (WindowSystem::IsTopLevel(w)) {
    // Newly shown parts of the surface may never have been painted.
    if (redraw) WS().InvalidateWholeTree(w);
  } else {
    before.Union(WindowSystem::ShapeInTop(w));
    WS().InvalidateTree(WindowSystem::TopOf(w), before);
  }
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN rgn) {
  Window* w = WS().Find(hwnd);
  Region* out = WritableRegionFromHandle(rgn);
  if (w == nullptr || out == nullptr || !w->WindowRgn) return ERROR;
  *out = *w->WindowRgn;
  return ClassOfRegion(*out);
}

}  // namespace bellcut
