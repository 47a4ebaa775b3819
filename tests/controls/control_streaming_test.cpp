// Controls read from and written to the text form format: TControl's own
// published properties, parents taken from the object nesting, alignment
// and anchors settled once loading ends.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/controls/ControlProperties.h"
#include "platform/controls/Controls.h"
#include "platform/controls/StreamingReader.h"
#include "platform/controls/StreamingWriter.h"
#include "platform/windowing/Desktop.h"

namespace bellcut {

class TStreamBox : public TCustomControl {
 public:
  BELLCUT_CLASS_NAME(TStreamBox)
  using TCustomControl::TCustomControl;
};

class TStreamDot : public TGraphicControl {
 public:
  BELLCUT_CLASS_NAME(TStreamDot)
  using TGraphicControl::TGraphicControl;
  int LoadedCalls = 0;
  TRect BoundsWhenLoaded{};
  void Loaded() override {
    TGraphicControl::Loaded();
    ++LoadedCalls;
    BoundsWhenLoaded = BoundsRect();
  }
};

namespace {

const bool published = [] {
  TPublishedClass<TStreamBox, TCustomControl>();
  TPublishedClass<TStreamDot, TGraphicControl>()
      .Enumeration<TAlign>("Align", AlignInfo(), &TControl::Align, &TControl::SetAlign, alNone)
      .Set<TAnchorKind>("Anchors", AnchorKindInfo(), &TControl::Anchors, &TControl::SetAnchors,
                        TAnchors{akLeft, akTop});
  RegisterClass<TStreamBox>();
  RegisterClass<TStreamDot>();
  return true;
}();

constexpr const char* kText =
    "object Box: TStreamBox\n"
    "  Left = 10\n"
    "  Top = 20\n"
    "  Width = 300\n"
    "  Height = 200\n"
    "  Cursor = crHandPoint\n"
    "  HelpKeyword = 'topic'\n"
    "  object Dot: TStreamDot\n"
    "    Left = 5\n"
    "    Width = 50\n"
    "    Height = 10\n"
    "    Align = alTop\n"
    "  end\n"
    "  object Pin: TStreamDot\n"
    "    Left = 100\n"
    "    Top = 100\n"
    "    Width = 20\n"
    "    Height = 20\n"
    "    Anchors = []\n"
    "  end\n"
    "end\n";

TEST(ControlStreamingTest, ReadsBoundsParentsAlignmentAndAnchors) {
  ResetDesktop(DesktopOptions{800, 600, false});
  ASSERT_TRUE(published);
  std::unique_ptr<TComponent> root = CreateComponentFromText(kText);
  auto* box = dynamic_cast<TStreamBox*>(root.get());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->BoundsRect(), Bounds(10, 20, 300, 200));
  EXPECT_EQ(box->Cursor(), crHandPoint);
  EXPECT_EQ(box->HelpType(), htKeyword);
  ASSERT_EQ(box->ControlCount(), 2);
  auto* dot = dynamic_cast<TStreamDot*>(box->Controls(0));
  auto* pin = dynamic_cast<TStreamDot*>(box->Controls(1));
  ASSERT_NE(dot, nullptr);
  ASSERT_NE(pin, nullptr);
  EXPECT_EQ(dot->Parent(), box);
  EXPECT_FALSE(dot->Loading());
  EXPECT_EQ(dot->LoadedCalls, 1);
  EXPECT_EQ(dot->BoundsRect(), Bounds(0, 0, 300, 10));  // aligned once the load ended
  // The empty anchors read from the resource keep the pin's relative place.
  box->SetBounds(10, 20, 600, 400);
  EXPECT_EQ(pin->BoundsRect(), Bounds(210, 210, 20, 20));
  EXPECT_EQ(dot->BoundsRect(), Bounds(0, 0, 600, 10));
}

TEST(ControlStreamingTest, WritesOnlyWhatDiffersFromTheDefaults) {
  ResetDesktop(DesktopOptions{800, 600, false});
  std::unique_ptr<TComponent> root = CreateComponentFromText(kText);
  const std::string text = WriteComponentText(root.get());
  for (const char* wanted : {"Cursor = crHandPoint", "HelpType = htKeyword", "HelpKeyword = 'topic'", "Width = 300",
                             "object Dot: TStreamDot", "Align = alTop", "Anchors = []"})
    EXPECT_NE(text.find(wanted), std::string::npos) << wanted << "\n" << text;
  for (const char* unwanted : {"HelpContext", "Hint", "Anchors = [akLeft, akTop]"})
    EXPECT_EQ(text.find(unwanted), std::string::npos) << unwanted << "\n" << text;
}

}  // namespace
}  // namespace bellcut
