// Reading and writing components as form resources, with a small family of
// classes defined here: a container control with children, a panel with a
// persistent sub-object, binary data, a component reference and an event
// with extra parameters, a non-visual timer and a form that owns them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/base/CodePage.h"
#include "platform/controls/Streaming.h"

namespace bellcut {
namespace {

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

enum class TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
using enum TAlign;
enum class TAnchorKind : std::uint8_t { akLeft, akTop, akRight, akBottom };
using enum TAnchorKind;
using TAnchors = TSet<TAnchorKind>;
using TMoveEvent = std::function<void(TObject* Sender, int X, int Y)>;

const auto AlignInfo = MakeEnumInfo("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
const auto AnchorInfo = MakeEnumInfo("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"});

// A colour set as a persistent sub-object the panel owns.
class TFrameColors : public TPersistent {
 public:
  BELLCUT_CLASS_NAME(TFrameColors)
  TColor Color = clBtnFace;
  TColor Highlight = clBtnHighlight;
  bool Gradation = false;
  std::string Title;
};

class TTestControl : public TComponent {
 public:
  BELLCUT_CLASS_NAME(TTestControl)
  explicit TTestControl(TComponent* AOwner) : TComponent(AOwner) {}
  ~TTestControl() override {
    SetParent(nullptr);
    for (TTestControl* c : controls_) c->parent_ = nullptr;
  }

  void SetParent(TTestControl* p) {
    if (parent_ != nullptr) std::erase(parent_->controls_, this);
    parent_ = p;
    if (p != nullptr) p->controls_.push_back(this);
  }
  [[nodiscard]] TTestControl* Parent() const { return parent_; }
  [[nodiscard]] const std::vector<TTestControl*>& Controls() const { return controls_; }

  void SetParentComponent(TComponent* Value) override { SetParent(dynamic_cast<TTestControl*>(Value)); }
  [[nodiscard]] TComponent* GetParentComponent() const override { return parent_; }
  [[nodiscard]] bool HasParent() const override { return true; }
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override {
    for (TTestControl* c : controls_)
      if (c->Owner() == Root) Proc(c);
  }

  void ReadState(TReader& Reader) override {
    // Runs before any property: the caption is still the constructor's.
    Log().push_back("ReadState " + Name() + " parent=" + (Reader.Parent() ? Reader.Parent()->Name() : "-") +
                    " caption=" + caption_ + (ComponentState().Contains(csLoading) ? " loading" : ""));
    TComponent::ReadState(Reader);
  }
  void Loaded() override {
    TComponent::Loaded();
    Log().push_back("Loaded " + Name());
    if (FailLoaded) throw EInvalidOperation("Loaded failed for " + Name());
  }

  [[nodiscard]] const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) {
    caption_ = v;
    captionSetWhileLoading = ComponentState().Contains(csLoading);
  }

  int Left = 0, Top = 0, Width = 100, Height = 30;
  bool Visible = true;
  TColor Color = clBtnFace;
  bool ParentColor = false;
  TAlign Align = alNone;
  TAnchors Anchors{akLeft, akTop};
  TNotifyEvent OnClick;
  bool captionSetWhileLoading = false;
  bool FailLoaded = false;

 private:
  std::string caption_ = "(unset)";
  TTestControl* parent_ = nullptr;
  std::vector<TTestControl*> controls_;
};

class TTestPanel : public TTestControl {
 public:
  BELLCUT_CLASS_NAME(TTestPanel)
  explicit TTestPanel(TComponent* AOwner) : TTestControl(AOwner) { Width = 260; }
  [[nodiscard]] TFrameColors* Colors() { return &colors_; }
  [[nodiscard]] const std::vector<std::uint8_t>& PictureData() const { return picture_; }
  void SetPictureData(std::span<const std::uint8_t> data) {
    // Like a picture: only data that decodes is taken.
    if (!data.empty()) (void)DecodePictureData(data);
    picture_.assign(data.begin(), data.end());
  }
  int HotLightDepth = 128;
  TComponent* Link = nullptr;
  TMoveEvent OnMove;

 private:
  TFrameColors colors_;
  std::vector<std::uint8_t> picture_;
};

class TTestTimer : public TComponent {
 public:
  BELLCUT_CLASS_NAME(TTestTimer)
  explicit TTestTimer(TComponent* AOwner) : TComponent(AOwner) {}
  void Loaded() override {
    TComponent::Loaded();
    Log().push_back("Loaded " + Name());
  }
  int Interval = 1000;
  bool Enabled = true;
  TNotifyEvent OnTimer;
};

class TTestForm : public TTestControl {
 public:
  BELLCUT_CLASS_NAME(TTestForm)
  explicit TTestForm(TComponent* AOwner) : TTestControl(AOwner) {}
  // Controls first, then the owned components that have no parent.
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override {
    TTestControl::GetChildren(Proc, Root);
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) Proc(Components(i));
  }
  void Loaded() override {
    TTestControl::Loaded();
    // Fields are filled before any Loaded runs.
    Log().push_back(std::string("fields ") + (Panel1 && Button1 && Timer1 ? "set" : "missing"));
  }
  void Button1Click(TObject* Sender) { Calls.push_back("Button1Click " + static_cast<TComponent*>(Sender)->Name()); }
  void PanelMove(TObject* Sender, int X, int Y) {
    Calls.push_back("PanelMove " + static_cast<TComponent*>(Sender)->Name() + " " + std::to_string(X) + "," +
                    std::to_string(Y));
  }
  void Timer1Timer(TObject*) { Calls.push_back("Timer1Timer"); }

  TTestPanel* Panel1 = nullptr;
  TTestControl* Button1 = nullptr;
  TTestTimer* Timer1 = nullptr;
  std::vector<std::string> Calls;
};

const bool registered = [] {
  TPublishedClass<TFrameColors, TPersistent>()
      .Color("Color", &TFrameColors::Color, [](TFrameColors& o, TColor v) { o.Color = v; })
      .Color("Highlight", &TFrameColors::Highlight, [](TFrameColors& o, TColor v) { o.Highlight = v; }, clBtnHighlight)
      .Boolean("Gradation", &TFrameColors::Gradation, [](TFrameColors& o, bool v) { o.Gradation = v; }, false)
      .String("Title", &TFrameColors::Title, [](TFrameColors& o, const std::string& v) { o.Title = v; });

  TPublishedClass<TTestControl, TComponent>()
      .Integer("Left", &TTestControl::Left, [](TTestControl& o, int v) { o.Left = v; })
      .Integer("Top", &TTestControl::Top, [](TTestControl& o, int v) { o.Top = v; })
      .Integer("Width", &TTestControl::Width, [](TTestControl& o, int v) { o.Width = v; })
      .Integer("Height", &TTestControl::Height, [](TTestControl& o, int v) { o.Height = v; })
      .Boolean("Visible", &TTestControl::Visible, [](TTestControl& o, bool v) { o.Visible = v; }, true)
      .String("Caption", &TTestControl::Caption, &TTestControl::SetCaption, std::string())
      .Color("Color", &TTestControl::Color, [](TTestControl& o, TColor v) { o.Color = v; }, clBtnFace)
      .Stored([](const TTestControl& o) { return !o.ParentColor; })
      .Boolean("ParentColor", &TTestControl::ParentColor, [](TTestControl& o, bool v) { o.ParentColor = v; }, false)
      .Enumeration<TAlign>("Align", AlignInfo, &TTestControl::Align, [](TTestControl& o, TAlign v) { o.Align = v; }, alNone)
      .Set<TAnchorKind>("Anchors", AnchorInfo, &TTestControl::Anchors, [](TTestControl& o, TAnchors v) { o.Anchors = v; },
                        TAnchors{akLeft, akTop})
      .Event("OnClick", &TTestControl::OnClick);

  TPublishedClass<TTestPanel, TTestControl>()
      .Integer("Width", &TTestControl::Width, [](TTestPanel& o, int v) { o.Width = v; }, 260)  // re-declared
      .Integer("HotLightDepth", &TTestPanel::HotLightDepth, [](TTestPanel& o, int v) { o.HotLightDepth = v; }, 128, 0, 255)
      .Object("Colors", &TTestPanel::Colors)
      .Binary("Picture", &TTestPanel::PictureData, &TTestPanel::SetPictureData)
      .Component("Link", &TTestPanel::Link, [](TTestPanel& o, TComponent* c) { o.Link = c; })
      .Event("OnMove", &TTestPanel::OnMove);

  TPublishedClass<TTestTimer, TComponent>()
      .Integer("Interval", &TTestTimer::Interval, [](TTestTimer& o, int v) { o.Interval = v; }, 1000)
      .Boolean("Enabled", &TTestTimer::Enabled, [](TTestTimer& o, bool v) { o.Enabled = v; }, true)
      .Event("OnTimer", &TTestTimer::OnTimer);

  TPublishedClass<TTestForm, TTestControl>()
      .Field("Panel1", &TTestForm::Panel1)
      .Field("Button1", &TTestForm::Button1)
      .Field("Timer1", &TTestForm::Timer1)
      .Method("Button1Click", &TTestForm::Button1Click)
      .Method("PanelMove", &TTestForm::PanelMove)
      .Method("Timer1Timer", &TTestForm::Timer1Timer);
  RegisterClass<TTestForm>();
  return true;
}();

const std::vector<std::uint8_t> kPicture = EncodePictureData("TBitmap", std::vector<std::uint8_t>{0x42, 0x4D, 0x01});

// The form the golden text describes, built in code.
std::unique_ptr<TTestForm> BuildForm() {
  auto form = std::make_unique<TTestForm>(nullptr);
  form->SetName("Form1");
  form->Left = 10;
  form->Top = 20;
  form->Width = 300;
  form->Height = 200;
  form->SetCaption("Main");
  form->Color = clWhite;
  auto* panel = TComponent::MakeOwned<TTestPanel>(form.get());
  panel->SetName("Panel1");
  panel->SetParent(form.get());
  panel->Left = 0;
  panel->Height = 48;
  panel->SetCaption(FromUtf8("保存"));
  panel->Align = alClient;
  panel->Anchors = {};
  panel->HotLightDepth = 200;
  panel->Colors()->Gradation = true;
  panel->SetPictureData(kPicture);
  auto* button = TComponent::MakeOwned<TTestControl>(form.get());
  button->SetName("Button1");
  button->SetParent(panel);
  button->Left = 5;
  button->Top = 6;
  button->Width = 75;
  button->Height = 25;
  button->SetCaption("");
  button->Visible = false;
  button->Color = 12345;
  button->OnClick = MethodHandler<TObject*>(form.get(), "Button1Click");
  panel->Link = button;
  panel->OnMove = MethodHandler<TObject*, int, int>(form.get(), "PanelMove");
  auto* timer = TComponent::MakeOwned<TTestTimer>(form.get());
  timer->SetName("Timer1");
  timer->Interval = 20;
  timer->OnTimer = MethodHandler<TObject*>(form.get(), "Timer1Timer");
  return form;
}

// Defaults left out (Tag, Visible, Align, Anchors, Panel1's re-declared
// Width, HotLightDepth 128 elsewhere), properties without a default always
// written (Left, Colors.Color, Colors.Title), colours by name or number.
const char* const kGolden =
    "object Form1: TTestForm\n"
    "  Left = 10\n"
    "  Top = 20\n"
    "  Width = 300\n"
    "  Height = 200\n"
    "  Caption = 'Main'\n"
    "  Color = clWhite\n"
    "  object Panel1: TTestPanel\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Height = 48\n"
    "    Caption = #20445#23384\n"
    "    Align = alClient\n"
    "    Anchors = []\n"
    "    HotLightDepth = 200\n"
    "    Colors.Color = clBtnFace\n"
    "    Colors.Gradation = True\n"
    "    Colors.Title = ''\n"
    "    Picture = {\n"
    "      07544269746D617003000000424D01}\n"
    "    Link = Button1\n"
    "    OnMove = PanelMove\n"
    "    object Button1: TTestControl\n"
    "      Left = 5\n"
    "      Top = 6\n"
    "      Width = 75\n"
    "      Height = 25\n"
    "      Visible = False\n"
    "      Color = 12345\n"
    "      OnClick = Button1Click\n"
    "    end\n"
    "  end\n"
    "  object Timer1: TTestTimer\n"
    "    Interval = 20\n"
    "    OnTimer = Timer1Timer\n"
    "  end\n"
    "end\n";

std::unique_ptr<TTestForm> ReadForm(std::string_view text) {
  auto form = std::make_unique<TTestForm>(nullptr);
  ReadComponentText(form.get(), text);
  return form;
}

TEST(Streaming, WriterProducesTheTextFormWithDefaultsLeftOut) {
  auto form = BuildForm();
  EXPECT_EQ(WriteComponentText(form.get()), kGolden);
}

TEST(Streaming, RoundTripGivesTheSameComponentsAndTheSameText) {
  auto form = ReadForm(kGolden);
  ASSERT_NE(form->Panel1, nullptr);
  ASSERT_NE(form->Button1, nullptr);
  ASSERT_NE(form->Timer1, nullptr);
  EXPECT_EQ(form->Name(), "Form1");
  EXPECT_EQ(form->ComponentCount(), 3);
  // The root owns everything; parents follow the nesting.
  for (TComponent* c : {static_cast<TComponent*>(form->Panel1), static_cast<TComponent*>(form->Button1),
                        static_cast<TComponent*>(form->Timer1)})
    EXPECT_EQ(c->Owner(), form.get());
  EXPECT_EQ(form->Panel1->Parent(), form.get());
  EXPECT_EQ(form->Button1->Parent(), form->Panel1);
  EXPECT_EQ(form->Controls(), std::vector<TTestControl*>{form->Panel1});

  const TTestPanel& p = *form->Panel1;
  EXPECT_EQ(p.Width, 260);
  EXPECT_EQ(p.Height, 48);
  EXPECT_EQ(p.Caption(), FromUtf8("保存"));
  EXPECT_EQ(p.Align, alClient);
  EXPECT_TRUE(p.Anchors.Empty());
  EXPECT_EQ(p.HotLightDepth, 200);
  EXPECT_TRUE(form->Panel1->Colors()->Gradation);
  EXPECT_EQ(form->Panel1->Colors()->Color, clBtnFace);
  EXPECT_EQ(p.PictureData(), kPicture);
  EXPECT_EQ(p.Link, form->Button1);
  EXPECT_FALSE(form->Button1->Visible);
  EXPECT_EQ(form->Button1->Color, 12345);
  EXPECT_EQ(form->Button1->Caption(), "(unset)");  // not in the text: the constructor's value stays
  EXPECT_EQ(form->Timer1->Interval, 20);
  EXPECT_TRUE(form->Timer1->Enabled);
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));
  EXPECT_FALSE(form->Panel1->ComponentState().Contains(csLoading));

  form->Button1->SetCaption("");  // as BuildForm has it
  EXPECT_EQ(WriteComponentText(form.get()), kGolden);
}

TEST(Streaming, EventsAreBoundToTheRootsMethodsByName) {
  auto form = ReadForm(kGolden);
  form->Button1->OnClick(form->Button1);
  form->Panel1->OnMove(form->Panel1, 3, -4);
  form->Timer1->OnTimer(form->Timer1);
  EXPECT_EQ(form->Calls, (std::vector<std::string>{"Button1Click Button1", "PanelMove Panel1 3,-4", "Timer1Timer"}));

  // A handler set in code from a lambda has no method name and is not written.
  form->Button1->OnClick = [](TObject*) {};
  EXPECT_EQ(WriteComponentText(form.get()).find("OnClick"), std::string::npos);
}

TEST(Streaming, ReadStateRunsFirstAndLoadedRunsAfterTheWholeTreeInCreationOrder) {
  Log().clear();
  auto form = ReadForm(kGolden);
  EXPECT_EQ(Log(), (std::vector<std::string>{
                       "ReadState Form1 parent=- caption=(unset) loading",
                       "ReadState Panel1 parent=Form1 caption=(unset) loading",
                       "ReadState Button1 parent=Panel1 caption=(unset) loading",
                       "Loaded Form1",
                       "fields set",
                       "Loaded Panel1",
                       "Loaded Button1",
                       "Loaded Timer1",
                   }));
  EXPECT_TRUE(form->Panel1->captionSetWhileLoading);
}

TEST(Streaming, AFailingLoadedStillLoadsTheOthersAndIsRaised) {
  auto form = std::make_unique<TTestForm>(nullptr);
  form->FailLoaded = true;
  Log().clear();
  EXPECT_THROW(ReadComponentText(form.get(), kGolden), EInvalidOperation);
  EXPECT_NE(std::find(Log().begin(), Log().end(), "Loaded Timer1"), Log().end());
  for (int i = 0; i < form->ComponentCount(); ++i)
    EXPECT_FALSE(form->Components(i)->ComponentState().Contains(csLoading));
  EXPECT_NE(form->Panel1, nullptr);  // the components are complete and stay
}

TEST(Streaming, StoredRuleAndDefaultsDecideWhatIsWritten) {
  struct Case {
    std::function<void(TTestControl&)> change;
    std::string expectLine;  // empty: nothing beyond the always-written lines
  };
  const std::vector<Case> cases = {
      {[](TTestControl&) {}, ""},
      {[](TTestControl& c) { c.Visible = false; }, "  Visible = False\n"},
      {[](TTestControl& c) { c.Color = clRed; }, "  Color = clRed\n"},
      {[](TTestControl& c) { c.Color = clBtnShadow; }, "  Color = clBtnShadow\n"},
      {[](TTestControl& c) { c.Color = -5; }, "  Color = -5\n"},
      {[](TTestControl& c) { c.Color = clRed; c.ParentColor = true; }, "  ParentColor = True\n"},
      {[](TTestControl& c) { c.Anchors = {akRight, akLeft}; }, "  Anchors = [akLeft, akRight]\n"},
      {[](TTestControl& c) { c.SetTag(-7); }, "  Tag = -7\n"},
      {[](TTestControl& c) { c.SetCaption("it's"); }, "  Caption = 'it''s'\n"},
  };
  for (const Case& k : cases) {
    TTestControl c(nullptr);
    c.SetName("C");
    c.SetCaption("");
    k.change(c);
    std::string text = WriteComponentText(&c);
    std::string body = text.substr(std::string("object C: TTestControl\n").size());
    body = body.substr(0, body.size() - std::string("end\n").size());
    std::string rest = body;  // minus the lines without a default
    for (const char* line : {"  Left = 0\n", "  Top = 0\n", "  Width = 100\n", "  Height = 30\n"}) {
      auto at = rest.find(line);
      ASSERT_NE(at, std::string::npos) << text;
      rest.erase(at, std::string(line).size());
    }
    EXPECT_EQ(rest, k.expectLine) << text;
  }
}

TEST(Streaming, RedeclaredPropertyKeepsItsPlaceAndTakesTheNewDefault) {
  std::vector<std::string> names;
  for (const auto& p : GetPropList("TTestPanel")) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Tag", "Left", "Top", "Width", "Height", "Visible", "Caption", "Color",
                                             "ParentColor", "Align", "Anchors", "OnClick", "HotLightDepth", "Colors",
                                             "Picture", "Link", "OnMove"}));
  EXPECT_EQ(FindPropInfo("TTestPanel", "width")->OrdDefault, 260);
  EXPECT_EQ(FindPropInfo("TTestControl", "Width")->OrdDefault, std::nullopt);
}

class StreamingCodePage : public ::testing::TestWithParam<CodePage> {
 protected:
  void TearDown() override { SetActiveCodePage(CodePage::Utf8); }
};

TEST_P(StreamingCodePage, JapaneseTextSurvivesAndIsWrittenTheSameInEveryCodePage) {
  SetActiveCodePage(GetParam());
  const std::string caption = FromUtf8("タルネモ！ 'ok' ～");
  if (GetParam() == CodePage::Cp932) {
    EXPECT_EQ(caption.substr(0, 2), "\x83\x5E");  // タ in code page 932
  }
  TTestControl c(nullptr);
  c.SetName("C");
  c.SetCaption(caption);
  const std::string text = WriteComponentText(&c);
  EXPECT_NE(text.find("Caption = #12479#12523#12493#12514#65281' ''ok'' '#65374\n"), std::string::npos) << text;

  auto form = CreateComponentFromText("object F: TTestForm" + text.substr(text.find('\n')));
  EXPECT_EQ(static_cast<TTestForm&>(*form).Caption(), caption);
}

INSTANTIATE_TEST_SUITE_P(BothCodePages, StreamingCodePage, ::testing::Values(CodePage::Utf8, CodePage::Cp932));

TEST(Streaming, LongStringsWrapAndReadBack) {
  TTestControl c(nullptr);
  c.SetName("C");
  std::string caption;
  for (int i = 0; i < 40; ++i) caption += FromUtf8("ab'鐘");
  c.SetCaption(caption);
  const std::string text = WriteComponentText(&c);
  EXPECT_NE(text.find("' +\n"), std::string::npos);
  auto form = CreateComponentFromText("object F: TTestForm" + text.substr(text.find('\n')));
  EXPECT_EQ(static_cast<TTestForm&>(*form).Caption(), caption);
}

struct ErrorCase {
  const char* text;
  const char* message;  // expected in the exception's text
};

// Each text is read into a fresh TTestForm.
const ErrorCase kErrors[] = {
    {"object Form1: TTestForm\n  Bogus = 1\nend\n", "Error reading Form1.Bogus: Property Bogus does not exist on line 2"},
    {"object Form1: TTestForm\n  Left = 'x'\nend\n",
     "Error reading Form1.Left: Invalid property value: a number expected but a string found on line 2"},
    {"object Form1: TTestForm\n  Align = alSideways\nend\n", "alSideways is not a TAlign value on line 2"},
    {"object Form1: TTestForm\n  Anchors = [akLeft, akNowhere]\nend\n", "akNowhere is not a TAnchorKind value on line 2"},
    {"object Form1: TTestForm\n  Anchors = akLeft\nend\n", "a set expected but an identifier found on line 2"},
    {"object Form1: TTestForm\n  Visible = Yes\nend\n", "True or False expected on line 2"},
    {"object Form1: TTestForm\n  Caption = 5\nend\n", "a string expected but a number found on line 2"},
    {"object Form1: TTestForm\n  Color = clNotAColour\nend\n", "clNotAColour is not a known value name on line 2"},
    {"object Form1: TTestForm\n  Left = 2147483648\nend\n", "2147483648 is outside"},
    {"object Form1: TTestForm\n  Left = 99999999999999999999\nend\n", "Number out of range on line 2"},
    {"object Form1: TTestForm\n  Left = 1.5\nend\n", "Invalid number"},
    {"object Form1: TTestForm\n  Left.X = 1\nend\n", "Error reading Form1.Left.X: Property Left is not an object"},
    {"object Form1: TTestForm\n  OnClick = Nowhere\nend\n", "Method Nowhere not found in TTestForm on line 2"},
    {"object Form1: TTestForm\n  OnClick = PanelMove\nend\n", "Method PanelMove does not take the event's parameters"},
    {"object Form1: TTestForm\n  Caption = 'abc\nend\n", "Unterminated string on line 2"},
    {"object Form1: TTestForm\n  Caption = 'a' +\nend\n", "String expected but 'e' found on line 3"},
    {"object Form1: TTestForm\n  Caption = #55296\nend\n", "Invalid character code #55296 on line 2"},
    {"object Form1: TTestForm\n  Left = 1\n", "'end' expected but end of text found on line 3"},
    {"object Form1: TTestForm\nend\nend\n", "End of text expected after the root object's end on line 3"},
    {"object Form1: TTestForm\n  Left 1\nend\n", "'=' expected but '1' found on line 2"},
    {"object Form1: TTestForm\n  Left = (1 2)\nend\n", "Lists and collections are not supported on line 2"},
    {"thing Form1: TTestForm\nend\n", "'object' expected but thing found on line 1"},
    {"object Form1: TTestPanel\nend\n", "The resource describes a TTestPanel, not a TTestForm on line 1"},
    {"object Form1: TTestForm\n  object X: TNope\n  end\nend\n", "Class TNope not found on line 2"},
    {"object Form1: TTestForm\n  object P: TTestPanel\n  end\n  object p: TTestPanel\n  end\nend\n",
     "A component named p already exists on line 4"},
    {"object Form1: TTestForm\n  object P: TTestPanel\n    HotLightDepth = 256\n  end\nend\n",
     "Error reading P.HotLightDepth: Invalid property value: 256 is outside 0..255 on line 3"},
    {"object Form1: TTestForm\n  object P: TTestPanel\n    Colors.Bogus = 1\n  end\nend\n",
     "Error reading P.Colors.Bogus: Property Bogus does not exist on line 3"},
    {"object Form1: TTestForm\n  object P: TTestPanel\n    Colors = 1\n  end\nend\n", "an object's properties are set one by one"},
    {"object Form1: TTestForm\n  object P: TTestPanel\n\n    Link = Ghost\n  end\nend\n",
     "Error reading P.Link: Component Ghost not found on line 4"},
    {"object Form1: TTestForm\n  object P: TTestPanel\n    Picture = {0754}\n  end\nend\n",
     "Error reading P.Picture: Picture data is truncated on line 3"},
    {"object Form1: TTestForm\n  object P: TTestPanel\n    Picture = {075\n    }\n  end\nend\n",
     "odd number of hexadecimal digits on line 4"},
    {"object Form1: TTestForm\n  object P: TTestPanel\n    Picture = {07 5G}\n  end\nend\n",
     "Hexadecimal digit expected but 'G' found on line 3"},
    // The timer's class is known to the form only through its field.
    {"object Form1: TTestForm\n  object T: TTestTimer\n    OnTimer = PanelMove\n  end\nend\n",
     "Error reading T.OnTimer: Method PanelMove does not take the event's parameters on line 3"},
};

TEST(Streaming, MalformedResourcesRaiseReadErrorsWithLinesAndLeaveNothingBehind) {
  for (const ErrorCase& k : kErrors) {
    TTestForm form(nullptr);
    try {
      ReadComponentText(&form, k.text);
      ADD_FAILURE() << "no error for:\n" << k.text;
    } catch (const EReadError& e) {
      EXPECT_NE(std::string(e.what()).find(k.message), std::string::npos)
          << "text:\n" << k.text << "message: " << e.what() << "\nwanted: " << k.message;
    }
    EXPECT_EQ(form.ComponentCount(), 0) << k.text;
    EXPECT_EQ(form.Panel1, nullptr);
    EXPECT_TRUE(form.Controls().empty());
    EXPECT_FALSE(form.ComponentState().Contains(csLoading));
  }
}

TEST(Streaming, UnknownClassesAreReportedByName) {
  try {
    (void)CreateComponentFromText("object X: TNoSuchForm\nend\n");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Class TNoSuchForm not found on line 1");
  }
  try {
    (void)FindClass("TNoSuchForm");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_STREQ(e.what(), "Class TNoSuchForm not found");
  }
  EXPECT_TRUE(GetClass("ttestform"));  // names compare without case
}

TEST(Streaming, FormResourceCompiledIntoTheProgramInitialisesTheForm) {
  TTestForm bare(nullptr);
  EXPECT_FALSE(InitInheritedComponent(&bare));
  RegisterFormResource("TTestForm", kGolden);
  TTestForm form(nullptr);
  EXPECT_TRUE(InitInheritedComponent(&form));
  EXPECT_EQ(form.Name(), "Form1");
  ASSERT_NE(form.Timer1, nullptr);
  EXPECT_EQ(form.Timer1->Interval, 20);
}

TEST(Streaming, ComponentReferencesResolveForwardAndToTheRoot) {
  auto form = ReadForm(
      "object Form1: TTestForm\n"
      "  object Panel1: TTestPanel\n    Link = Button1\n  end\n"
      "  object Button1: TTestPanel\n    Link = form1\n  end\n"
      "  object P3: TTestPanel\n    Link = nil\n  end\n"
      "end\n");
  ASSERT_NE(form->Panel1, nullptr);
  EXPECT_EQ(form->Panel1->Link, form->Button1);
  EXPECT_EQ(static_cast<TTestPanel*>(form->Button1)->Link, form.get());
}

TEST(Streaming, FieldOfTheWrongTypeFailsTheReadAndClearsFieldsAlreadyFilled) {
  // Button1 is declared as a control, but a timer is not one. Panel1's field
  // was filled first and must not be left pointing at the destroyed panel.
  TTestForm form(nullptr);
  EXPECT_THROW(ReadComponentText(&form,
                                 "object Form1: TTestForm\n  object Panel1: TTestPanel\n  end\n"
                                 "  object Button1: TTestTimer\n  end\nend\n"),
               EReadError);
  EXPECT_EQ(form.Panel1, nullptr);
  EXPECT_EQ(form.ComponentCount(), 0);
}

// Mutated resources with a fixed generator state: every outcome is either a
// complete read or an EReadError (or a setter's platform exception); never a
// crash, a leak or another exception type.
TEST(Streaming, MutatedResourcesNeverCrash) {
  std::mt19937 gen(20240611u);
  const std::string base = kGolden;
  const std::string alphabet = "abcdefxyzT019$#'+-=.:[]{},() \n";
  int succeeded = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text = base;
    const int edits = 1 + static_cast<int>(gen() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t at = gen() % text.size();
      switch (gen() % 4) {
        case 0: text[at] = alphabet[gen() % alphabet.size()]; break;
        case 1: text.erase(at, 1 + gen() % 8); break;
        case 2: text.insert(at, text.substr(gen() % text.size(), 1 + gen() % 12)); break;
        default: text[at] = static_cast<char>(gen() % 256); break;
      }
    }
    TTestForm form(nullptr);
    try {
      ReadComponentText(&form, text);
      ++succeeded;
      (void)WriteComponentText(&form);
    } catch (const Exception&) {
      EXPECT_FALSE(form.ComponentState().Contains(csLoading));
    }
  }
  EXPECT_GT(succeeded, 0);  // some mutations (inside strings, numbers) still read
}

}  // namespace
}  // namespace bellcut
