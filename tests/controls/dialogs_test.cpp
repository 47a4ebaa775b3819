// Message dialogs: what they show, how they answer (scripted, keys, clicks
// on their buttons, the default responder), timers ticking in their loop,
// the other windows disabled meanwhile, a quit ending them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/windowing/Desktop.h"
#include "tests/controls/FormsFixture.h"

namespace bellcut::test {
namespace {

class DialogTest : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    Application.SetTitle(FromUtf8("ヨルヴァネ"));
  }
};

const TMsgDlgButtons YesNo{mbYes, mbNo};

TEST_F(DialogTest, ShowMessageIsAPlainCentredDialogWithOneOkButton) {
  TRect rect;
  bool centred = false;
  responder->Push({0, mrOk, [&](const DialogRequest& r) {
                     GetWindowRect(r.Window, &rect);
                     centred = IsWindowVisible(r.Window) && GetWindowText(r.Window) == r.Caption;
                   }});
  ShowMessage(FromUtf8("アイコン上に画像ファイルをドロップしてください。"));
  ASSERT_EQ(responder->Shown.size(), 1u);
  const DialogRequest& r = responder->Shown[0];
  EXPECT_EQ(r.Kind, DialogKind::Message);
  EXPECT_EQ(r.Type, mtCustom) << "no icon";
  EXPECT_EQ(r.Caption, FromUtf8("ヨルヴァネ"));
  EXPECT_EQ(r.Text, FromUtf8("アイコン上に画像ファイルをドロップしてください。"));
  ASSERT_EQ(r.Buttons.size(), 1u);
  EXPECT_EQ(r.Buttons[0].Caption, "OK");
  EXPECT_TRUE(centred);
  EXPECT_LE(std::abs((rect.Left + rect.Right) / 2 - 512), 1);
  EXPECT_LE(std::abs((rect.Top + rect.Bottom) / 2 - 384), 1);
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), 0u) << "the dialog's windows are gone";
}

TEST_F(DialogTest, ConfirmationAsksYesOrNo) {
  responder->Push(0, mrYes);
  responder->Push(0, mrNo);
  const std::string q = FromUtf8("インフォメーションを参照しますか？");
  EXPECT_EQ(MessageDlg(q, mtConfirmation, YesNo, 0), 6);
  EXPECT_EQ(MessageDlg(q, mtConfirmation, YesNo, 0), 7);
  ASSERT_EQ(responder->Shown.size(), 2u);
  const DialogRequest& r = responder->Shown[0];
  EXPECT_EQ(r.Kind, DialogKind::Question);
  EXPECT_EQ(r.Caption, FromUtf8("確認"));
  EXPECT_EQ(r.Text, q);
  ASSERT_EQ(r.Buttons.size(), 2u);
  EXPECT_EQ(r.Buttons[0].Caption, FromUtf8("はい(&Y)"));
  EXPECT_EQ(r.Buttons[1].Caption, FromUtf8("いいえ(&N)"));
  EXPECT_EQ(r.DefaultResult, mrYes);
  EXPECT_EQ(r.CancelResult, mrNo);
}

TEST_F(DialogTest, CaptionsAndDefaultsByKindAndButtons) {
  struct Case {
    TMsgDlgType Type;
    TMsgDlgButtons Buttons;
    const char* Caption;
    int Default, Cancel;
    std::size_t Count;
  };
  const Case cases[] = {
      {mtWarning, {mbOK}, "警告", mrOk, mrOk, 1},
      {mtError, {mbOK, mbCancel}, "エラー", mrOk, mrCancel, 2},
      {mtInformation, {mbYes, mbNo, mbCancel}, "情報", mrYes, mrCancel, 3},
      {mtCustom, {mbYes, mbNo}, "ヨルヴァネ", mrYes, mrNo, 2},
  };
  for (const Case& c : cases) {
    (void)MessageDlg("x", c.Type, c.Buttons, 0);
    const DialogRequest& r = responder->Shown.back();
    SCOPED_TRACE(c.Caption);
    EXPECT_EQ(r.Caption, FromUtf8(c.Caption));
    EXPECT_EQ(r.DefaultResult, c.Default);
    EXPECT_EQ(r.CancelResult, c.Cancel);
    EXPECT_EQ(r.Buttons.size(), c.Count);
    EXPECT_EQ(responder->Results.back(), c.Default) << "an empty script answers with the default button";
  }
  EXPECT_THROW((void)MessageDlg("x", mtWarning, TMsgDlgButtons{}, 0), EInvalidOperation);
}

TEST_F(DialogTest, AnswersFromItsOwnKeysAndButtons) {
  struct Case {
    const char* Name;
    std::function<void(const DialogRequest&)> Input;
    int Expected;
  };
  const auto press = [](int vk) {
    return [vk](const DialogRequest&) {
      desktop::PressKey(vk);
      desktop::ReleaseKey(vk);
    };
  };
  const auto click = [](std::size_t i) {
    return [i](const DialogRequest& r) {
      TRect b;
      GetWindowRect(r.Buttons[i].Window, &b);
      desktop::Click(b.Left + 5, b.Top + 5);
    };
  };
  const Case cases[] = {
      {"Esc answers No", press(VK_ESCAPE), mrNo},
      {"Enter answers Yes", press(VK_RETURN), mrYes},
      {"click on No", click(1), mrNo},
      {"click on Yes", click(0), mrYes},
      {"accelerator N", [](const DialogRequest&) { desktop::TypeText("n"); }, mrNo},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    responder->Push({0, mrNone, c.Input});
    EXPECT_EQ(MessageDlg("?", mtConfirmation, YesNo, 0), c.Expected);
  }
  // Nothing will ever press anything: the dialog gives up with its cancel answer.
  responder->Push({0, mrNone, nullptr});
  EXPECT_EQ(MessageDlg("?", mtConfirmation, YesNo, 0), mrNo);
}

TEST_F(DialogTest, TimersTickInsideTheLoopAndOtherWindowsAreDisabled) {
  auto* f = TCustomForm::Create<TForm>(&Application);
  f->Show();
  auto* t = TComponent::MakeOwned<TTimer>(f);
  t->SetInterval(20);
  int ticks = 0;
  bool formEnabledDuringDialog = true;
  t->SetOnTimer([&](TObject*) {
    ++ticks;
    formEnabledDuringDialog = IsWindowEnabled(f->Handle()) != FALSE;
  });
  responder->Push(200, mrYes);
  EXPECT_EQ(MessageDlg("?", mtConfirmation, YesNo, 0), mrYes);
  EXPECT_EQ(ticks, 10) << "200 ms of a 20 ms timer, each tick once";
  EXPECT_FALSE(formEnabledDuringDialog);
  EXPECT_TRUE(IsWindowEnabled(f->Handle())) << "enabled again afterwards";
  TComponent::Destroy(f);
}

// The headless screen on a virtual clock, counting how often the loop waits.
class CountingScreen final : public ScreenBackend {
 public:
  [[nodiscard]] int Width() const override { return 1024; }
  [[nodiscard]] int Height() const override { return 768; }
  [[nodiscard]] Clock& GetClock() override { return clock_; }
  [[nodiscard]] bool ShowsPixels() const override { return false; }
  void Present(const Dib&, const TRect&) override {}
  [[nodiscard]] bool HasOutsideInput() const override { return false; }
  void Wait(std::optional<std::uint64_t> deadline) override {
    ++*Waits;
    if (deadline) clock_.WaitUntil(*deadline);
  }
  void Beep() override {}
  std::shared_ptr<int> Waits = std::make_shared<int>(0);

 private:
  VirtualClock clock_;
};

TEST_F(DialogTest, WaitingForALateAnswerJumpsFromTickToTick) {
  auto screen = std::make_unique<CountingScreen>();
  const std::shared_ptr<int> waits = screen->Waits;
  ResetDesktop(std::move(screen));
  auto* t = TComponent::MakeOwned<TTimer>(&Application);
  t->SetInterval(100);
  std::vector<std::uint64_t> tickTimes;
  t->SetOnTimer([&](TObject*) { tickTimes.push_back(DesktopTime()); });
  responder->Push(10'000, mrYes);
  EXPECT_EQ(MessageDlg("?", mtConfirmation, YesNo, 0), mrYes);
  // Every tick on time, the one due with the answer included, and one wait per tick.
  ASSERT_EQ(tickTimes.size(), 100u);
  for (std::size_t i = 0; i < tickTimes.size(); ++i) EXPECT_EQ(tickTimes[i], 100 * (i + 1)) << "tick " << i;
  EXPECT_EQ(DesktopTime(), 10'000u);
  EXPECT_LE(*waits, 101);
  TComponent::Destroy(t);

  // Without timers the answer comes in one wait.
  *waits = 0;
  responder->Push(5'000, mrNo);
  EXPECT_EQ(MessageDlg("?", mtConfirmation, YesNo, 0), mrNo);
  EXPECT_EQ(DesktopTime(), 15'000u);
  EXPECT_EQ(*waits, 1);
}

TEST_F(DialogTest, QuitEndsTheDialogWithItsCancelAnswer) {
  auto* owner = TComponent::MakeOwned<TTimer>(&Application);
  owner->SetInterval(30);
  owner->SetOnTimer([](TObject*) { Application.Terminate(); });
  responder->Push(10'000, mrYes);
  EXPECT_EQ(MessageDlg("?", mtConfirmation, YesNo, 0), mrNo);
  EXPECT_TRUE(Application.Terminated());
}

TEST_F(DialogTest, ErrorDisplayFromShowException) {
  Application.ShowException(EFCreateError(FromUtf8("ファイル x を作成できません")));
  ASSERT_EQ(responder->Shown.size(), 1u);
  const DialogRequest& r = responder->Shown[0];
  EXPECT_EQ(r.Kind, DialogKind::Error);
  EXPECT_EQ(r.Type, mtError);
  EXPECT_EQ(r.Caption, FromUtf8("ヨルヴァネ"));
  EXPECT_EQ(r.Text, FromUtf8("ファイル x を作成できません"));
  ASSERT_EQ(r.Buttons.size(), 1u);
  EXPECT_TRUE(Application.ErrorShown());

  // Anything thrown, handled by the application, ends in the same display.
  try {
    throw 42;
  } catch (...) {
    Application.HandleException(nullptr);
  }
  ASSERT_EQ(responder->Shown.size(), 2u);
  EXPECT_EQ(responder->Shown[1].Text, "");

  // OnException takes the place of the display.
  std::string handled;
  Application.OnException = [&](TObject*, const Exception& E) { handled = E.Message(); };
  try {
    throw std::runtime_error("plain");
  } catch (...) {
    Application.HandleException(nullptr);
  }
  EXPECT_EQ(handled, "plain");
  EXPECT_EQ(responder->Shown.size(), 2u);
}

TEST_F(DialogTest, DefaultResponderPrintsAndAnswersFromTheEnvironment) {
  if (isatty(STDIN_FILENO) != 0) GTEST_SKIP() << "standard input is a terminal: the question would be asked there";
  SetDialogResponder(nullptr);
  testing::internal::CaptureStdout();
  ShowMessage(FromUtf8("保存しました"));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "保存しました\n");

  testing::internal::CaptureStderr();
  Application.ShowException(Exception("broken"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "broken\n");

  struct Case {
    const char* Env;  // null: unset
    int Expected;
  };
  const Case cases[] = {{nullptr, mrNo}, {"no", mrNo}, {"yes", mrYes}, {"YES", mrYes}, {"maybe", mrNo}};
  for (const Case& c : cases) {
    if (c.Env != nullptr)
      setenv("BELLCUT_ANSWER", c.Env, 1);
    else
      unsetenv("BELLCUT_ANSWER");
    testing::internal::CaptureStdout();
    EXPECT_EQ(MessageDlg("q", mtConfirmation, YesNo, 0), c.Expected) << (c.Env ? c.Env : "unset");
    (void)testing::internal::GetCapturedStdout();
  }
  unsetenv("BELLCUT_ANSWER");
}

}  // namespace
}  // namespace bellcut::test
