// TTimer on the virtual clock: arming rules, one pending tick at most, no
// tick after disabling, errors shown by the application.
#include <gtest/gtest.h>

#include "platform/controls/ExtCtrls.h"
#include "tests/controls/FormsFixture.h"

namespace bellcut::test {
namespace {

class TimerTest : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    owner = std::make_unique<TComponent>(nullptr);
  }
  void TearDown() override {
    owner.reset();
    FormsTest::TearDown();
  }
  TTimer* MakeTimer(unsigned interval, int* ticks) {
    auto* t = TComponent::MakeOwned<TTimer>(owner.get());
    t->SetInterval(interval);
    t->SetOnTimer([ticks, t](TObject* Sender) {
      EXPECT_EQ(Sender, t);
      ++*ticks;
    });
    return t;
  }
  std::unique_ptr<TComponent> owner;
};

TEST_F(TimerTest, TicksOnTheVirtualClockFromTheLoopOnly) {
  int ticks = 0;
  MakeTimer(20, &ticks);
  desktop::AdvanceClock(100);  // time passes, but no loop runs
  EXPECT_EQ(ticks, 0);
  desktop::Pump();
  EXPECT_EQ(ticks, 1) << "a late timer delivers one tick, not one per missed interval";
  desktop::RunFor(100);
  EXPECT_EQ(ticks, 6);
}

TEST_F(TimerTest, ArmedOnlyWhenEnabledWithIntervalAndHandler) {
  auto* t = TComponent::MakeOwned<TTimer>(owner.get());
  EXPECT_TRUE(t->Enabled());
  EXPECT_EQ(t->Interval(), 1000u);
  EXPECT_FALSE(t->Armed()) << "no handler";
  int ticks = 0;
  t->SetOnTimer([&](TObject*) { ++ticks; });
  EXPECT_TRUE(t->Armed());
  t->SetInterval(0);
  EXPECT_FALSE(t->Armed());
  t->SetInterval(50);
  t->SetEnabled(false);
  EXPECT_FALSE(t->Armed());
  desktop::RunFor(500);
  EXPECT_EQ(ticks, 0);
  t->SetEnabled(true);
  t->SetOnTimer(nullptr);
  EXPECT_FALSE(t->Armed());
  EXPECT_TRUE(IsIdleForever()) << "a timer without handler keeps no window system timer";
}

TEST_F(TimerTest, ChangingTheIntervalRestartsTheCount) {
  int ticks = 0;
  TTimer* t = MakeTimer(100, &ticks);
  desktop::RunFor(90);
  t->SetInterval(50);  // the next tick is 50 ms from now, not from the start
  desktop::RunFor(40);
  EXPECT_EQ(ticks, 0);
  desktop::RunFor(10);
  EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, DisabledTimerNeverTicksAgainEvenWithATickDue) {
  int ticks = 0;
  TTimer* t = MakeTimer(20, &ticks);
  desktop::AdvanceClock(40);  // a tick is due now
  t->SetEnabled(false);
  desktop::Pump();
  desktop::RunFor(200);
  EXPECT_EQ(ticks, 0);

  // Two timers due together: the first one's handler disables the second.
  int aTicks = 0;
  int bTicks = 0;
  TTimer* b = nullptr;
  auto* a = TComponent::MakeOwned<TTimer>(owner.get());
  a->SetInterval(30);
  a->SetOnTimer([&](TObject*) {
    ++aTicks;
    b->SetEnabled(false);
  });
  b = MakeTimer(30, &bTicks);  // armed after a: due together, ticks second
  desktop::AdvanceClock(30);
  desktop::RunFor(100);
  EXPECT_GE(aTicks, 1);
  EXPECT_EQ(bTicks, 0);
}

TEST_F(TimerTest, DestroyedWithATickDueGivesNoTick) {
  int ticks = 0;
  TTimer* t = MakeTimer(20, &ticks);
  desktop::AdvanceClock(25);
  TComponent::Destroy(t);
  EXPECT_EQ(desktop::Pump(), 0);
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(IsIdleForever());
}

TEST_F(TimerTest, ExceptionInHandlerIsShownAndTheLoopGoesOn) {
  Application.SetTitle("Title");
  int ticks = 0;
  TTimer* t = MakeTimer(20, &ticks);
  t->SetOnTimer([&](TObject*) {
    ++ticks;
    if (ticks == 1) throw EInvalidOperation("tick failed");
  });
  desktop::RunFor(60);
  EXPECT_EQ(ticks, 3);
  ASSERT_EQ(responder->Shown.size(), 1u);
  EXPECT_EQ(responder->Shown[0].Kind, DialogKind::Error);
  EXPECT_EQ(responder->Shown[0].Caption, "Title");
  EXPECT_EQ(responder->Shown[0].Text, "tick failed");
  EXPECT_TRUE(Application.ErrorShown());
}

TEST_F(TimerTest, HandlerRunningADialogStillReceivesTicksOfOtherTimers) {
  int ticks = 0;
  MakeTimer(10, &ticks);
  int dialogs = 0;
  auto* opener = TComponent::MakeOwned<TTimer>(owner.get());
  opener->SetInterval(15);
  opener->SetOnTimer([&](TObject* Sender) {
    static_cast<TTimer*>(Sender)->SetEnabled(false);
    ++dialogs;
    ShowMessage("inside");
  });
  responder->Push(100, mrOk);
  desktop::RunFor(15);
  EXPECT_EQ(dialogs, 1);
  // 10 ms timer: one tick before the dialog, ten during its 100 ms.
  EXPECT_EQ(ticks, 11);
}

}  // namespace
}  // namespace bellcut::test
