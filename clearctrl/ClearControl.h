// TClearControl: the common base of the shaped transparent controls. Its
// window is cut to the pixels of its face and children that differ from a
// transparent colour.
//
// Everything the control shows is rendered ahead of time by
// MakeBtnImageAndRgn into four face images (up, down, hot, disabled) and two
// base regions traced from the up and down faces; painting only copies a
// face. The window region is a base region joined with the children's areas
// (WinRgnSet). Requests for it that do not come from the face builder are
// posted to the control's own window as CM_UPDATERGN and merged there, so a
// burst of requests costs one composition.
//
// Writers compare before storing: setting a property to its current value
// does nothing. BeginUpdate/EndUpdate fold several changes into one build.
#pragma once

#include <cstdint>
#include <memory>

#include "clearctrl/BorderStyle.h"
#include "platform/base/Classes.h"
#include "platform/controls/Controls.h"
#include "platform/gdi/RegionApi.h"
#include "platform/gdi/Types.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"

namespace bellcut {

// The shaped controls' own message: a region build waiting on the control's window.
constexpr UINT CM_UPDATERGN = 48043;
static_assert(CM_UPDATERGN == 0xBBAB);

enum class TTransBtnStyle : std::uint8_t { sbsPushBtn, sbsFloatBtn, sbsImage };
using enum TTransBtnStyle;

enum class TTransImgOption : std::uint8_t { sioDisableImage, sioHotTrackImage, sioTransAtDesigning, sioBorderAndShadow };
using enum TTransImgOption;
// Option n is bit n, so the set fits one byte.
using TTransImgOptions = TSet<TTransImgOption>;

class TClearControl : public TCustomControl {
 public:
  BELLCUT_CLASS_NAME(TClearControl)
  explicit TClearControl(TComponent* AOwner);
  ~TClearControl() override;

  void Dispatch(TMessage& Message) override;
  void ReadState(TReader& Reader) override;
  void Loaded() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Resize() override;

  // --- properties -----------------------------------------------------------
  [[nodiscard]] bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);
  [[nodiscard]] TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  [[nodiscard]] int CaptionLeft() const { return FCaptionLeft; }
  void SetCaptionLeft(int Value);
  [[nodiscard]] int CaptionTop() const { return FCaptionTop; }
  void SetCaptionTop(int Value);
  [[nodiscard]] TTransBtnStyle Style() const { return FStyle; }
  void SetStyle(TTransBtnStyle Value);
  [[nodiscard]] TColor TransparentColor() const { return FTransparentColor; }
  void SetTransColor(TColor Value);
  [[nodiscard]] TColor LightColor() const { return FLightColor; }
  void SetLightColor(TColor Value);
  [[nodiscard]] TColor ShadowColor() const { return FShadowColor; }
  void SetShadowColor(TColor Value);
  [[nodiscard]] bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  [[nodiscard]] std::uint8_t HotLightDepth() const { return FHotLightDepth; }
  void SetHotLightDepth(std::uint8_t Value);
  [[nodiscard]] TTransImgOptions Options() const { return FOptions; }
  void SetOptions(TTransImgOptions Value);
  [[nodiscard]] bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  [[nodiscard]] bool ChildGraphicsTrans() const { return FChildGraphicsTrans; }
  void SetChildGraphicsTrans(bool Value);
  [[nodiscard]] bool FormTrans() const { return FFormTrans; }
  void SetFormTrans(bool Value);
  [[nodiscard]] bool ParentDrag() const { return FParentDrag; }
  void SetParentDrag(bool Value) { FParentDrag = Value; }
  [[nodiscard]] TPicture& Picture() { return *FPicture; }
  [[nodiscard]] const TPicture& Picture() const { return *FPicture; }
  // Copies Value (no comparison), then follows it as PictureChanged does.
  void SetPicture(const TPicture* Value);
  // Largest width and height SetBounds lets through; 0 or less: no limit.
  [[nodiscard]] TPoint MaxSize() const { return FMaxSize; }

  [[nodiscard]] const TNotifyEvent& OnMouseEnter() const { return FOnMouseEnter; }
  void SetOnMouseEnter(TNotifyEvent Value) { FOnMouseEnter = std::move(Value); }
  [[nodiscard]] const TNotifyEvent& OnMouseLeave() const { return FOnMouseLeave; }
  void SetOnMouseLeave(TNotifyEvent Value) { FOnMouseLeave = std::move(Value); }
  // The event fields, for the published-property tables.
  static constexpr TNotifyEvent TClearControl::*MouseEnterField() { return &TClearControl::FOnMouseEnter; }
  static constexpr TNotifyEvent TClearControl::*MouseLeaveField() { return &TClearControl::FOnMouseLeave; }

  // --- operations -----------------------------------------------------------
  void BeginUpdate();
  void EndUpdate();
  [[nodiscard]] int UpdateCount() const { return FUpdateCount; }
  // Renders the four faces and traces the two base regions, then rebuilds
  // the window region at once.
  void MakeBtnImageAndRgn();
  // Asks for a window-region build: posted to the own window, or at once
  // while FRgnImmediate is set.
  void UpdateRgn();
  // Composes the window region from the up (or down) base region and the
  // children, and applies it (also to the top-level form with FormTrans).
  void WinRgnSet(bool Down);
  // Computes the content size and applies it when it differs.
  void AutoSizeArrange();
  void PictureChanged(TObject* Sender);
  // Repaints the graphic children over the face and flushes pending paints.
  void PaintGraphicControls();
  // Whether the pointer is over the control itself; unless CheckOnly, also
  // draws the resting face (hot or up) and repaints the children.
  bool MouseUpViewUpdate(bool CheckOnly);

  // --- state as painting and tests read it -----------------------------------
  [[nodiscard]] const TBitmap* UpImage() const { return FUpImage.get(); }
  [[nodiscard]] const TBitmap* DownImage() const { return FDownImage.get(); }
  [[nodiscard]] const TBitmap* HotImage() const { return FHotImage.get(); }
  [[nodiscard]] const TBitmap* DisabledImage() const { return FDisabledImage.get(); }
  [[nodiscard]] HRGN UpRgn() const { return FUpRgn; }
  [[nodiscard]] HRGN DownRgn() const { return FDownRgn; }
  [[nodiscard]] bool Pressed() const { return FPressed; }
  [[nodiscard]] bool PressedInside() const { return FPressedInside; }
  // How many face builds and region compositions have run to completion
  // (the guards passed); a cheap way to check batching and coalescing.
  [[nodiscard]] int FaceBuildCount() const { return faceBuilds_; }
  [[nodiscard]] int CompositionCount() const { return compositions_; }

 protected:
  // Applies a computed size; the panel widens it to reach its children.
  virtual void DoAutoSizeArrange(int AWidth, int AHeight);
  void Paint() override;
  void PaintWindow(HDC DC) override;
  void CreateWnd() override;

  // Component-message handlers.
  void CMEnabledChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  void CMShowingChanged(TMessage& Message);
  void CMControlChange(TMessage& Message);
  void CMMouseEnter(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMUpdateRgn(TMessage& Message);

  // Steps of the face builder; each returns a new 24-bit image.
  [[nodiscard]] std::unique_ptr<TBitmap> MakeContentImage();
  [[nodiscard]] std::unique_ptr<TBitmap> MakeLightMask(const TBitmap& Content, TColor Light);
  [[nodiscard]] std::unique_ptr<TBitmap> RecolorImage(const TBitmap& Mask, TColor Key, TColor Fill);
  enum class TFaceState : std::uint8_t { Up, Down };
  [[nodiscard]] std::unique_ptr<TBitmap> MakeFaceImage(TFaceState State, const TBitmap& Content, const TBitmap* Light,
                                                       const TBitmap* Shadow, const TBitmap* Face);
  // Adds the opaque pixel runs of graphic child Child, as the composed Buffer
  // shows them, to Region.
  void AddChildRuns(const TControl& Child, const TBitmap& Buffer, HRGN Region, HRGN Scratch);

  // Fields (the control's data model).
  TColor FTransparentColor = clFuchsia;
  std::unique_ptr<TBitmap> FUpImage;
  std::unique_ptr<TBitmap> FHotImage;
  std::unique_ptr<TBitmap> FDownImage;
  std::unique_ptr<TBitmap> FDisabledImage;
  HRGN FUpRgn = nullptr;
  HRGN FDownRgn = nullptr;
  TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
  std::int32_t FCaptionLeft = -1;
  std::int32_t FCaptionTop = -1;
  bool FAutoSize = true;
  std::int32_t FUpdateCount = 0;
  TTransBtnStyle FStyle = sbsPushBtn;
  bool FPressed = false;
  bool FPressedInside = false;
  TPoint FLastPos{};
  bool FTextCleared = false;
  bool FHotTrack = true;
  TColor FLightColor = clBtnHighlight;
  TColor FShadowColor = clBtnShadow;
  bool FStretch = false;
  TTransImgOptions FOptions;
  TControl* FExcludedControl = nullptr;
  std::unique_ptr<TPicture> FPicture;
  bool FParentDrag = false;
  bool FFormTrans = false;
  bool FDraggingParent = false;
  std::int32_t FDragStartX = 0;
  std::int32_t FDragStartY = 0;
  TNotifyEvent FOnMouseLeave;
  TNotifyEvent FOnMouseEnter;
  bool FChildGraphicsTrans = false;
  TPoint FMaxSize{320, 320};
  bool FPaintingToBuffer = false;
  bool FRgnImmediate = false;
  std::uint8_t FHotLightDepth = 128;

 private:
  // The border width: the ordinal of the border style.
  [[nodiscard]] int BorderWidth() const { return static_cast<int>(FBorderStyle); }
  // Face rebuild followed by a repaint: what most writers end with.
  void Rebuild();
  void BindPictureNotification();
  void TraceRegion(HRGN& Target, const TBitmap& Face);

  int faceBuilds_ = 0;
  int compositions_ = 0;
};

}  // namespace bellcut
