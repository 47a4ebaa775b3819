// The GDI calls: device contexts, bitmaps, brushes and pens, and the drawing
// operations on them. Every call takes logical coordinates (the DC's origin
// is added), clips to the DC's effective clip and to its surface, and never
// writes outside the surface whatever the coordinates.
//
// Failures are reported the platform's way: a null handle, 0 or FALSE for an
// unknown handle or a bad argument; only resource exhaustion (a surface too
// large) throws EOutOfResources.
#pragma once

#include <cstdint>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Dib.h"
#include "platform/gdi/Types.h"

#include "platform/gdi/RegionApi.h"

namespace bellcut {


// Ternary raster operations (BitBlt, PatBlt, StretchBlt): bits 16-23 hold the
// truth table over pattern (brush), source and destination.
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint32_t SRCPAINT = 0x00EE0086;
constexpr std::uint32_t SRCAND = 0x008800C6;
constexpr std::uint32_t SRCINVERT = 0x00660046;
constexpr std::uint32_t SRCERASE = 0x00440328;
constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
constexpr std::uint32_t MERGECOPY = 0x00C000CA;
constexpr std::uint32_t MERGEPAINT = 0x00BB0226;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t PATPAINT = 0x00FB0A09;
constexpr std::uint32_t PATINVERT = 0x005A0049;
constexpr std::uint32_t DSTINVERT = 0x00550009;
constexpr std::uint32_t BLACKNESS = 0x00000042;
constexpr std::uint32_t WHITENESS = 0x00FF0062;

// Stock objects.
enum StockObject : int {
  WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4, NULL_BRUSH = 5,
  HOLLOW_BRUSH = NULL_BRUSH, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8
};

// GetCurrentObject kinds.
enum ObjectType : int { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8 };

// The failure result of the clipping calls (which otherwise answer with the
// class of the resulting clip: NULLREGION, SIMPLEREGION, COMPLEXREGION).
constexpr int RGN_ERROR = 0;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// --- device contexts ---------------------------------------------------------

// A memory DC with no bitmap selected: it draws on nothing until a bitmap is
// selected into it. The argument is accepted for compatibility and may be null.
[[nodiscard]] HDC CreateCompatibleDC(HDC dc);
// A DC drawing straight onto surface (not owned; it must outlive the DC).
// The window system and canvases over raw surfaces use it.
[[nodiscard]] HDC CreateSurfaceDC(Dib* surface);
bool DeleteDC(HDC dc);
// Saves the DC's state on a stack; returns its level (1 for the first), 0 on failure.
int SaveDC(HDC dc);
// Restores a saved level: a positive level by number, a negative one relative
// to the top (-1 the last saved). Levels above it are discarded.
bool RestoreDC(HDC dc, int savedDC);

// Selects a bitmap (memory DCs only; a bitmap lives in at most one DC), brush,
// pen or font. Returns the previous object of that kind, null on failure.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
[[nodiscard]] HGDIOBJ GetCurrentObject(HDC dc, int objectType);
[[nodiscard]] HGDIOBJ GetStockObject(int index);

COLORREF SetTextColor(HDC dc, COLORREF color);
[[nodiscard]] COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
[[nodiscard]] COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
[[nodiscard]] int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop2);
[[nodiscard]] int GetROP2(HDC dc);

// The DC has one origin: logical (x, y) is drawn at surface (x, y) + Origin.
// SetWindowOrgEx puts logical (x, y) at the surface's (0, 0); SetViewportOrgEx
// puts logical (0, 0) at surface (x, y). Both move the same origin.
bool SetWindowOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetWindowOrgEx(HDC dc, TPoint* org);
bool OffsetWindowOrgEx(HDC dc, int dx, int dy, TPoint* old);
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old);
bool GetViewportOrgEx(HDC dc, TPoint* org);

// Clipping. SelectClipRgn copies the region (given in device coordinates,
// relative to the surface); null removes the clip region.
int SelectClipRgn(HDC dc, HRGN rgn);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
// The bounds of what drawing can reach, in logical coordinates.
int GetClipBox(HDC dc, TRect* rect);
// Copies the clip region (device coordinates) into rgn: 1 when there is one,
// 0 when none is set, -1 on error.
int GetClipRgn(HDC dc, HRGN rgn);

// --- objects -----------------------------------------------------------------

// A bitmap of the given format (planes must be 1; bits 1, 4, 8, 24 or 32),
// filled from data (rows padded to 2 bytes, top first) when data is given,
// otherwise zero (black). A 1-bit bitmap is black on white (0 black, 1 white).
[[nodiscard]] HBITMAP CreateBitmap(int width, int height, unsigned planes, unsigned bitCount, const void* data);
// A bitmap in the DC's format: monochrome for a memory DC with no bitmap
// selected or with a 1-bit one, otherwise the display's 32 bits. Its pixels are black.
[[nodiscard]] HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A bitmap that takes over dib (the DIB-section counterpart).
[[nodiscard]] HBITMAP CreateBitmapFromDib(Dib dib);
// The pixels behind a bitmap (null for an unknown handle).
[[nodiscard]] Dib* DibFromBitmap(HBITMAP bitmap);

[[nodiscard]] HBRUSH CreateSolidBrush(COLORREF color);
[[nodiscard]] HPEN CreatePen(int style, int width, COLORREF color);

// Releases a brush, pen or bitmap handle (also reachable through the generic
// DeleteObject of GdiObjects.h). A stock object or an object selected into a
// DC is not deleted (false).
bool DeleteBrush(HBRUSH brush);
bool DeletePen(HPEN pen);
bool DeleteBitmap(HBITMAP bitmap);

// --- drawing -----------------------------------------------------------------

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the clip or the surface.
[[nodiscard]] COLORREF GetPixel(HDC dc, int x, int y);

bool MoveToEx(HDC dc, int x, int y, TPoint* old);
// A line from the current position to (x, y), the end pixel excluded, with
// the selected pen and the DC's binary raster operation. Moves the position.
bool LineTo(HDC dc, int x, int y);
// Outline with the pen, inside with the brush; right and bottom excluded.
bool Rectangle(HDC dc, int left, int top, int right, int bottom);
// Fills the rectangle (right and bottom excluded) with brush, whatever is selected.
int FillRect(HDC dc, const TRect& rect, HBRUSH brush);
// A one-pixel frame just inside rect, drawn with brush.
int FrameRect(HDC dc, const TRect& rect, HBRUSH brush);
// The selected brush combined with the destination by a raster operation
// that must not use a source.
bool PatBlt(HDC dc, int x, int y, int width, int height, std::uint32_t rop);

// Copies (combines) a source rectangle onto the destination. src may be null
// for operations that do not use a source.
bool BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, std::uint32_t rop);
// Nearest-neighbour scaling: destination pixel dx takes source column
// floor((2 * dx + 1) * wSrc / (2 * wDst)), rows likewise. Negative sizes are refused.
bool StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                std::uint32_t rop);
// StretchBlt from a bare surface (a decoded picture). Returns the number of
// source rows used, 0 on failure.
int StretchDIBits(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc, int hSrc,
                  const Dib& src, std::uint32_t rop);

// StretchBlt (SRCCOPY) that leaves the destination alone wherever the source
// pixel has the transparent colour.
bool TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                    COLORREF transparent);
// StretchDIBits that leaves the destination alone wherever the source pixel
// has the transparent colour.
int TransparentDIBits(HDC dc, int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc, int hSrc,
                      const Dib& src, std::uint32_t rop, COLORREF transparent);

// --- helpers for our own drawing code ---------------------------------------

// Evaluates a ternary raster operation on 24-bit RGB values, bitwise.
[[nodiscard]] std::uint32_t ApplyRop3(std::uint32_t rop, std::uint32_t pattern, std::uint32_t source,
                                      std::uint32_t destination);
// Evaluates a binary raster operation (R2_*) of a pen colour on a destination.
[[nodiscard]] std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t destination);
// The brush or pen behind a handle, for the text renderer and canvases.
[[nodiscard]] bool GetBrushColor(HBRUSH brush, COLORREF* color, int* style);

}  // namespace bellcut
