// A fresh headless desktop and application per test, dialogs answered by a
// script, and a check that no handle of any kind outlives the test.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "platform/controls/Dialogs.h"
#include "platform/controls/Forms.h"
#include "platform/gdi/Handles.h"
#include "platform/windowing/Desktop.h"
#include "platform/windowing/WinUser.h"

namespace bellcut::test {

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDesktop(DesktopOptions{1024, 768, false});
    Application.Reset();
    responder = std::make_shared<ScriptedDialogResponder>();
    previous_ = SetDialogResponder(responder);
    for (std::size_t k = 0; k < counts_.size(); ++k) counts_[k] = LiveHandleCount(static_cast<HandleKind>(k));
  }

  void TearDown() override {
    Application.Reset();
    FreeDeviceContexts();
    for (std::size_t k = 0; k < counts_.size(); ++k)
      EXPECT_EQ(LiveHandleCount(static_cast<HandleKind>(k)), counts_[k]) << "handle kind " << k << " leaked";
    SetDialogResponder(previous_);
    ResetDesktop(DesktopOptions{1024, 768, false});
  }

  // Client area origin of a form on the screen.
  static TPoint ClientOnScreen(TWinControl& c) {
    TPoint p{0, 0};
    ClientToScreen(c.Handle(), &p);
    return p;
  }

  std::shared_ptr<ScriptedDialogResponder> responder;

 private:
  std::shared_ptr<DialogResponder> previous_;
  std::array<std::size_t, static_cast<std::size_t>(HandleKind::Count)> counts_{};
};

}  // namespace bellcut::test
