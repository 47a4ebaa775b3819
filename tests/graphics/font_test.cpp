#include "platform/graphics/Font.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/base/Exceptions.h"
#include "platform/gdi/FontObjects.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Handles.h"

namespace bellcut {
namespace {

std::size_t LiveFonts() { return LiveHandleCount(HandleKind::Font); }

TEST(Font, DefaultsAreThePlatformDefaultFont) {
  TFont font;
  EXPECT_EQ(font.Name(), "MS Sans Serif");
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Color(), clWindowText);
  EXPECT_EQ(font.Charset(), DEFAULT_CHARSET);
  EXPECT_TRUE(font.Style().Empty());
  EXPECT_EQ(font.Pitch(), fpDefault);
}

TEST(Font, SizeAndHeightConvertWithRounding) {
  struct Case {
    int ppi, height, size;
  };
  // Height -> Size: -Height * 72 / ppi, rounded half away from zero.
  for (const Case c : {Case{96, -11, 8}, Case{96, -12, 9}, Case{96, -13, 10}, Case{96, -16, 12},
                       Case{96, -27, 20}, Case{120, -20, 12}, Case{96, 11, -8}, Case{96, 0, 0}}) {
    TFont font;
    font.SetPixelsPerInch(c.ppi);
    font.SetHeight(c.height);
    EXPECT_EQ(font.Size(), c.size) << "height " << c.height << " at " << c.ppi;
  }
  // Size -> Height: -Size * ppi / 72, rounded the same way.
  for (const Case c : {Case{96, -11, 8}, Case{96, -12, 9}, Case{96, -13, 10}, Case{96, -27, 20},
                       Case{120, -20, 12}, Case{72, -9, 9}, Case{96, 15, -11}}) {
    TFont font;
    font.SetPixelsPerInch(c.ppi);
    font.SetSize(c.size);
    EXPECT_EQ(font.Height(), c.height) << "size " << c.size << " at " << c.ppi;
  }
}

TEST(Font, SettersNotifyOnlyOnChange) {
  struct Case {
    const char* what;
    std::function<void(TFont&)> set;
  };
  const Case cases[] = {
      {"name", [](TFont& f) { f.SetName("ＭＳ Ｐゴシック"); }},
      {"height", [](TFont& f) { f.SetHeight(-12); }},
      {"size", [](TFont& f) { f.SetSize(20); }},
      {"colour", [](TFont& f) { f.SetColor(clGreen); }},
      {"style", [](TFont& f) { f.SetStyle({fsBold}); }},
      {"charset", [](TFont& f) { f.SetCharset(SHIFTJIS_CHARSET); }},
      {"pitch", [](TFont& f) { f.SetPitch(fpFixed); }},
  };
  for (const Case& c : cases) {
    TFont font;
    int calls = 0;
    TObject* sender = nullptr;
    font.OnChange = [&](TObject* s) { ++calls; sender = s; };
    c.set(font);
    EXPECT_EQ(calls, 1) << c.what;
    EXPECT_EQ(sender, &font) << c.what;
    c.set(font);  // the same value again
    EXPECT_EQ(calls, 1) << c.what << " set twice";
  }
}

TEST(Font, HandleFollowsTheLogicalFontAndNeverLeaks) {
  const std::size_t before = LiveFonts();
  {
    TFont font;
    font.SetName("ＭＳ Ｐゴシック");
    font.SetHeight(-12);
    font.SetCharset(SHIFTJIS_CHARSET);
    font.SetStyle({fsBold, fsUnderline});
    const HFONT first = font.Handle();
    EXPECT_EQ(font.Handle(), first) << "one handle while nothing changes";
    EXPECT_EQ(LiveFonts(), before + 1);
    const LogFont* lf = LogFontFromHandle(first);
    ASSERT_NE(lf, nullptr);
    EXPECT_EQ(lf->FaceName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(lf->Height, -12);
    EXPECT_EQ(lf->Weight, 700);
    EXPECT_TRUE(lf->Underline);
    EXPECT_FALSE(lf->Italic);
    EXPECT_EQ(lf->CharSet, SHIFTJIS_CHARSET);

    font.SetColor(clRed);  // not part of the logical font
    EXPECT_EQ(font.Handle(), first);

    font.SetHeight(-20);
    EXPECT_EQ(LogFontFromHandle(first), nullptr) << "the old handle is released on change";
    EXPECT_EQ(LiveFonts(), before);
    const HFONT second = font.Handle();
    ASSERT_NE(LogFontFromHandle(second), nullptr);
    EXPECT_EQ(LogFontFromHandle(second)->Height, -20);
    EXPECT_EQ(LiveFonts(), before + 1);
  }
  EXPECT_EQ(LiveFonts(), before) << "the destructor releases the handle";
}

TEST(Font, AssignCopiesEverythingAndNotifiesOnce) {
  TFont source;
  source.SetName("ＭＳ Ｐゴシック");
  source.SetHeight(-27);
  source.SetStyle({fsBold, fsItalic});
  source.SetCharset(SHIFTJIS_CHARSET);
  source.SetColor(clGreen);
  source.SetPitch(fpVariable);

  const std::size_t before = LiveFonts();
  TFont target;
  const HFONT old = target.Handle();
  int calls = 0;
  target.OnChange = [&](TObject*) { ++calls; };
  target.Assign(&source);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(target.Name(), "ＭＳ Ｐゴシック");
  EXPECT_EQ(target.Height(), -27);
  EXPECT_EQ(target.Style(), (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(target.Charset(), SHIFTJIS_CHARSET);
  EXPECT_EQ(target.Color(), clGreen);
  EXPECT_EQ(target.Pitch(), fpVariable);
  EXPECT_EQ(LogFontFromHandle(old), nullptr) << "a handle of the old face must not survive";
  EXPECT_EQ(target.ToLogFont(), source.ToLogFont());
  EXPECT_EQ(LiveFonts(), before);

  TFont other;
  EXPECT_THROW(other.Assign(nullptr), EConvertError);
}

TEST(FontObjects, DeleteObjectReleasesFontHandlesOnce) {
  const std::size_t before = LiveFonts();
  LogFont lf;
  lf.FaceName = "Courier New";
  lf.Height = 14;
  const HFONT font = CreateFontIndirect(lf);
  EXPECT_EQ(LiveFonts(), before + 1);
  ASSERT_NE(LogFontFromHandle(font), nullptr);
  EXPECT_EQ(*LogFontFromHandle(font), lf);
  EXPECT_EQ(GdiObjectKind(font), HandleKind::Font);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(LiveFonts(), before);
  EXPECT_FALSE(DeleteObject(font)) << "a second delete is refused";
  EXPECT_FALSE(DeleteFont(font));
  EXPECT_EQ(LogFontFromHandle(font), nullptr);
  EXPECT_EQ(LogFontFromHandle(nullptr), nullptr);
  EXPECT_FALSE(DeleteFont(nullptr));
}

}  // namespace
}  // namespace bellcut
