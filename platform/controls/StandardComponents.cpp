// The published properties of the standard components (forms, images,
// panels, buttons, speed buttons, timers) and of the graphics objects they
// stream (pictures, bitmaps, fonts), with the defaults the platform uses.
//
// Registration runs once, the first time a form is constructed, so that
// every static registration of the program is in place by then: the
// control bases' own lists are used when their unit publishes them, and a
// list made here stands in for any that is missing.
#include <mutex>
#include <type_traits>

#include "platform/base/Streams.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ControlProperties.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/Streaming.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/JPEGImage.h"

namespace bellcut {

// TTimer's handler is private (its setter re-arms the timer); the reader
// binds it directly and Loaded arms the timer afterwards.
struct TTimerPublished {
  static void Register() {
    TPublishedClass<TTimer, TComponent>()
        .Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
        .Integer("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000, 0, UINT32_MAX)
        .Event("OnTimer", &TTimer::onTimer_);
  }
};

namespace {

const auto FontStyleInfo = MakeEnumInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
const auto FontPitchInfo = MakeEnumInfo("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"});
const auto FormBorderStyleInfo = MakeEnumInfo(
    "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
const auto BorderIconInfo = MakeEnumInfo("TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
const auto FormStyleInfo = MakeEnumInfo("TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
const auto PositionInfo =
    MakeEnumInfo("TPosition", {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                               "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"});
const auto WindowStateInfo = MakeEnumInfo("TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"});
const auto BevelInfo = MakeEnumInfo("TPanelBevel", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
const auto AlignmentInfo = MakeEnumInfo("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
const auto ButtonLayoutInfo =
    MakeEnumInfo("TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});

std::shared_ptr<const TIdentMap> CharsetIdents() {
  auto m = std::make_shared<TIdentMap>();
  m->Entries = {{"ANSI_CHARSET", 0},       {"DEFAULT_CHARSET", 1},   {"SYMBOL_CHARSET", 2},
                {"MAC_CHARSET", 77},       {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129},
                {"GB2312_CHARSET", 134},   {"CHINESEBIG5_CHARSET", 136}, {"OEM_CHARSET", 255}};
  return m;
}

// A graphic's file bytes, and a graphic made from them by class name.
std::vector<std::uint8_t> GraphicFile(const TGraphic& g) {
  TMemoryStream s;
  g.SaveToStream(s);
  return s.Data();
}

std::unique_ptr<TGraphic> MakeGraphic(const std::string& className) {
  if (className == "TBitmap") return std::make_unique<TBitmap>();
  if (className == "TJPEGImage") return std::make_unique<TJPEGImage>();
  throw EReadError("Unknown picture class " + className);
}

void RegisterGraphics() {
  if (!IsPublishedClass("TPicture")) {
    TPublishedClass<TPicture, TPersistent>().Binary(
        "Data",
        [](TPicture& p) {
          const TGraphic* g = p.Graphic();
          if (g == nullptr || g->Empty()) return std::vector<std::uint8_t>();
          return EncodePictureData(g->ClassName(), GraphicFile(*g));
        },
        [](TPicture& p, std::span<const std::uint8_t> data) {
          if (data.empty()) {
            p.SetGraphic(nullptr);
            return;
          }
          const TPictureData d = DecodePictureData(data);
          std::unique_ptr<TGraphic> g = MakeGraphic(d.ClassName);
          TMemoryStream s(d.File);
          g->LoadFromStream(s);
          p.SetGraphic(g.get());
        });
  }
  if (!IsPublishedClass("TBitmap")) {
    // A bitmap's data: the 32-bit little-endian length of the BMP file, then the file.
    TPublishedClass<TBitmap, TPersistent>().Binary(
        "Data",
        [](TBitmap& b) {
          std::vector<std::uint8_t> out;
          if (b.Empty()) return out;
          const std::vector<std::uint8_t> file = GraphicFile(b);
          const auto n = static_cast<std::uint32_t>(file.size());
          out = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16),
                 static_cast<std::uint8_t>(n >> 24)};
          out.insert(out.end(), file.begin(), file.end());
          return out;
        },
        [](TBitmap& b, std::span<const std::uint8_t> data) {
          if (data.empty()) {
            b.Assign(nullptr);
            return;
          }
          if (data.size() < 4) throw EReadError("Bitmap data is truncated");
          const std::uint32_t n = data[0] | (data[1] << 8) | (data[2] << 16) | (std::uint32_t{data[3]} << 24);
          if (n != data.size() - 4) throw EReadError("Bitmap data length does not match");
          TMemoryStream s(std::vector<std::uint8_t>(data.begin() + 4, data.end()));
          b.LoadFromStream(s);
        });
  }
  if (!IsPublishedClass("TFont")) {
    TPublishedClass<TFont, TPersistent>()
        .Integer("Charset", &TFont::Charset, &TFont::SetCharset, std::int64_t{DEFAULT_CHARSET}, 0, 255, CharsetIdents())
        .Color("Color", &TFont::Color, &TFont::SetColor, clWindowText)
        .Integer("Height", &TFont::Height, &TFont::SetHeight)
        .String("Name", &TFont::Name, &TFont::SetName, std::string("MS Sans Serif"))
        .Enumeration<TFontPitch>("Pitch", FontPitchInfo, &TFont::Pitch, &TFont::SetPitch, fpDefault)
        .Set<TFontStyle>("Style", FontStyleInfo, &TFont::Style, &TFont::SetStyle, TFontStyles{});
  }
}

// What the visible controls publish besides the control bases' own list
// (Left, Top, Width, Height, Cursor, Hint, help): each class says which of
// these it shows, with its own defaults.
struct VisibleDefaults {
  bool Caption = true;
  TColor Color = clBtnFace;
  bool ParentColor = false;
  bool ParentFont = true;
  bool Visible = true;
  bool Windowed = false;
  bool TabStop = false;
};

template <class T, class Base>
void PublishVisible(TPublishedClass<T, Base>& b, const VisibleDefaults& d) {
  b.template Enumeration<TAlign>("Align", AlignInfo(), &T::Align, &T::SetAlign, alNone)
      .template Set<TAnchorKind>("Anchors", AnchorKindInfo(), &T::Anchors, &T::SetAnchors, TAnchors{akLeft, akTop})
      .Stored([](const T& c) { return c.Anchors() != AnchorAlign(c.Align()); });  // only anchors the alignment does not give
  if (d.Caption) b.String("Caption", &T::Caption, &T::SetCaption, std::string());
  b.Color("Color", &T::Color, &T::SetColor, d.Color)
      .Stored([](const T& c) { return !c.ParentColor(); })
      .Integer("DragCursor", &T::DragCursor, &T::SetDragCursor, crDrag, -32768, 32767, CursorIdents())
      .template Enumeration<TDragKind>("DragKind", DragKindInfo(), &T::DragKind, &T::SetDragKind, dkDrag)
      .template Enumeration<TDragMode>("DragMode", DragModeInfo(), &T::DragMode, &T::SetDragMode, dmManual)
      .Boolean("Enabled", &T::Enabled, &T::SetEnabled, true)
      .Object("Font", [](T& c) -> TPersistent* { return &c.Font(); })
      .Stored([](const T& c) { return !c.ParentFont(); })
      .Boolean("ParentColor", &T::ParentColor, &T::SetParentColor, d.ParentColor)
      .Boolean("ParentFont", &T::ParentFont, &T::SetParentFont, d.ParentFont)
      .Boolean("ParentShowHint", &T::ParentShowHint, &T::SetParentShowHint, true)
      .Boolean("ShowHint", &T::ShowHint, &T::SetShowHint, false)
      .Boolean("Visible", &T::Visible, &T::SetVisible, d.Visible);
  if constexpr (std::is_base_of_v<TWinControl, T>) {
    if (d.Windowed)
      b.Integer("TabOrder", &T::TabOrder, &T::SetTabOrder, -1).Boolean("TabStop", &T::TabStop, &T::SetTabStop, d.TabStop);
  }
  b.Event("OnClick", &T::OnClick)
      .Event("OnDblClick", &T::OnDblClick)
      .Event("OnMouseDown", &T::OnMouseDown)
      .Event("OnMouseMove", &T::OnMouseMove)
      .Event("OnMouseUp", &T::OnMouseUp)
      .Event("OnResize", &T::OnResize);
}

void RegisterForms() {
  TPublishedClass<TControlScrollBar, TPersistent>()
      .Integer("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange, 0)
      .Boolean("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible, true);

  // A form stores its client size; its outer size follows from it.
  TPublishedClass<TCustomForm, TWinControl> form;
  PublishVisible(form, VisibleDefaults{true, clBtnFace, false, false, false, false, false});
  form.Integer("Width", &TCustomForm::Width, &TCustomForm::SetWidth)
      .Stored([](const TCustomForm&) { return false; })
      .Integer("Height", &TCustomForm::Height, &TCustomForm::SetHeight)
      .Stored([](const TCustomForm&) { return false; })
      .Set<TBorderIcon>("BorderIcons", BorderIconInfo, &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
                        TBorderIcons{biSystemMenu, biMinimize, biMaximize})
      .Enumeration<TFormBorderStyle>("BorderStyle", FormBorderStyleInfo, &TCustomForm::BorderStyle,
                                     &TCustomForm::SetBorderStyle, bsSizeable)
      .Integer("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight)
      .Integer("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth)
      .Enumeration<TFormStyle>("FormStyle", FormStyleInfo, &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, fsNormal)
      .Object("HorzScrollBar", &TCustomForm::HorzScrollBar)
      .Object("VertScrollBar", &TCustomForm::VertScrollBar)
      .Boolean("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll, true)
      .Boolean("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false)
      .Boolean("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder)
      .Enumeration<TPosition>("Position", PositionInfo, &TCustomForm::Position, &TCustomForm::SetPosition, poDesigned)
      .Boolean("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled, true)
      .Enumeration<TWindowState>("WindowState", WindowStateInfo, &TCustomForm::WindowState,
                                 &TCustomForm::SetWindowState, wsNormal)
      .Event("OnActivate", &TCustomForm::OnActivate)
      .Event("OnClose", &TCustomForm::OnClose)
      .Event("OnCloseQuery", &TCustomForm::OnCloseQuery)
      .Event("OnCreate", &TCustomForm::OnCreate)
      .Event("OnDeactivate", &TCustomForm::OnDeactivate)
      .Event("OnDestroy", &TCustomForm::OnDestroy)
      .Event("OnHide", &TCustomForm::OnHide)
      .Event("OnPaint", &TCustomForm::OnPaint)
      .Event("OnShow", &TCustomForm::OnShow)
      .Integer("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch)
      .Integer("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight);
  TPublishedClass<TForm, TCustomForm>();
}

void RegisterExtCtrls() {
  TTimerPublished::Register();

  TPublishedClass<TImage, TGraphicControl> image;
  PublishVisible(image, VisibleDefaults{false, clWindow, true, true, true, false, false});
  image.Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false)
      .Boolean("Center", &TImage::Center, &TImage::SetCenter, false)
      .Boolean("IncrementalDisplay", &TImage::IncrementalDisplay, &TImage::SetIncrementalDisplay, false)
      .Object("Picture", &TImage::Picture)
      .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
      .Boolean("Transparent", &TImage::Transparent, &TImage::SetTransparent, false);

  TPublishedClass<TPanel, TCustomControl> panel;
  PublishVisible(panel, VisibleDefaults{true, clBtnFace, false, true, true, true, false});
  panel.Enumeration<TAlignment>("Alignment", AlignmentInfo, &TPanel::Alignment, &TPanel::SetAlignment, taCenter)
      .Enumeration<TPanelBevel>("BevelInner", BevelInfo, &TPanel::BevelInner, &TPanel::SetBevelInner, bvNone)
      .Enumeration<TPanelBevel>("BevelOuter", BevelInfo, &TPanel::BevelOuter, &TPanel::SetBevelOuter, bvRaised)
      .Integer("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1, 1, INT32_MAX)
      .Integer("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth, 0, 0, INT32_MAX)
      .Boolean("FullRepaint", &TPanel::FullRepaint, &TPanel::SetFullRepaint, true);
}

void RegisterButtons() {
  TPublishedClass<TButton, TWinControl> button;
  PublishVisible(button, VisibleDefaults{true, clBtnFace, false, true, true, true, true});
  button.Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
      .Boolean("Default", &TButton::Default, &TButton::SetDefault, false)
      .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0);

  // AllowAllUp and GroupIndex come before Down: a button outside a group
  // cannot be down.
  TPublishedClass<TSpeedButton, TGraphicControl> speed;
  PublishVisible(speed, VisibleDefaults{true, clBtnFace, false, true, true, false, false});
  speed.Boolean("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp, false)
      .Integer("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex, 0)
      .Boolean("Down", &TSpeedButton::Down, &TSpeedButton::SetDown, false)
      .Boolean("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat, false)
      .Object("Glyph", &TSpeedButton::Glyph)
      .Enumeration<TButtonLayout>("Layout", ButtonLayoutInfo, &TSpeedButton::Layout, &TSpeedButton::SetLayout,
                                  blGlyphLeft)
      .Integer("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin, -1)
      .Integer("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs, 1, 1, 4)
      .Integer("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing, 4)
      .Boolean("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent, true);
}

}  // namespace

void RegisterStandardComponents() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterGraphics();
    RegisterForms();
    RegisterExtCtrls();
    RegisterButtons();
    RegisterClass<TForm>();
    RegisterClass<TImage>();
    RegisterClass<TPanel>();
    RegisterClass<TButton>();
    RegisterClass<TSpeedButton>();
    RegisterClass<TTimer>();
  });
}

}  // namespace bellcut
