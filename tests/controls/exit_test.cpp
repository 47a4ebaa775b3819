// The application's end: a program that returns from main with forms alive
// leaves them to the application object's destructor, which runs among the
// other static destructors; and Done, which may be called again (or from a
// form's OnDestroy) without destroying anything twice.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/gdi/Gdi.h"
#include "tests/controls/FormsFixture.h"

namespace bellcut::test {
namespace {

// What a program's main does before it returns without Application.Done():
// a shown form with windowed and windowless children, painted text (the
// font engine holds faces), a canvas holding a DC, a live timer and a form
// released but not yet destroyed.
void BuildFormsAndLeaveThemAlive() {
  ResetDesktop(DesktopOptions{800, 600, false});
  TForm* main = nullptr;
  Application.CreateForm(main);
  main->SetCaption("Main");
  auto* panel = TComponent::MakeOwned<TPanel>(main);
  panel->SetParent(main);
  panel->SetBounds(10, 10, 200, 100);
  panel->SetCaption("panel text");
  auto* button = TComponent::MakeOwned<TButton>(main);
  button->SetParent(panel);
  button->SetCaption("OK");
  auto* image = TComponent::MakeOwned<TImage>(main);
  image->SetParent(main);
  image->SetBounds(0, 120, 20, 20);
  auto* timer = TComponent::MakeOwned<TTimer>(main);
  timer->SetInterval(50);
  timer->SetEnabled(true);
  // OnDestroy runs at exit too, and may still draw text.
  main->OnDestroy = [main](TObject*) {
    main->Canvas().SetPixels(0, 0, clRed);
    main->Canvas().TextOut(2, 2, "bye");
  };
  main->Show();
  desktop::RunFor(120);
  (void)main->Canvas().Pixels(1, 1);
  auto* other = TCustomForm::Create<TForm>(&Application);
  other->Show();
  other->Release();
  desktop::Pump();
}

// The child's exit runs the static destructors: an application destroying
// its forms after the registries they use (window map, live controls,
// canvases, handle tables, font engine) would be caught by the sanitizers,
// which end the process with a report and a non-zero code.
TEST(ApplicationExit, FormsLeftAliveAtExitAreDestroyedCleanly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        BuildFormsAndLeaveThemAlive();
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "^$");
}

class ApplicationDone : public FormsTest {};

TEST_F(ApplicationDone, RunsOnceEvenWhenCalledAgainOrFromOnDestroy) {
  std::vector<std::string> events;
  auto* first = TCustomForm::Create<TForm>(&Application);
  auto* second = TCustomForm::Create<TForm>(&Application);
  first->OnDestroy = [&](TObject*) { events.push_back("first"); };
  // A form that ends the application from its OnDestroy.
  second->OnDestroy = [&](TObject*) {
    events.push_back("second");
    Application.Done();
  };
  second->Show();
  Application.Done();
  Application.Done();
  EXPECT_EQ(events, (std::vector<std::string>{"second", "first"}));
  EXPECT_EQ(Screen.FormCount(), 0);
  EXPECT_EQ(Application.ComponentCount(), 0);
  EXPECT_EQ(LiveHandleCount(HandleKind::Window), 0u);
}

}  // namespace
}  // namespace bellcut::test
