// Message dialogs: ShowMessage, MessageDlg and the application's error
// display.
//
// Each is a real modal window: a top-level window centred on the screen with
// its text, an icon for its kind and push buttons, shown while the other
// top-level windows are disabled, and a nested message loop that runs until
// the dialog has an answer. Timers keep ticking in that loop, and a quit
// message ends the dialog with its cancel answer (the application is
// terminating).
//
// Nobody sits in front of a headless desktop, so a responder decides how each
// dialog ends: after how much (clock) time, and with which answer, or by
// letting the dialog wait for input on its own buttons (Esc, Enter,
// clicks). The default responder prints the text as UTF-8 (plain messages
// and questions to standard output, error displays to standard error) and
// answers at once: OK for messages and errors; a question is asked on the
// terminal when standard input is one, and otherwise answered from the
// environment variable BELLCUT_ANSWER ("yes" or "no"; "no" when unset).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/controls/Forms.h"

namespace bellcut {

enum class TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using enum TMsgDlgType;
enum class TMsgDlgBtn : std::uint8_t {
  mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,
};
using enum TMsgDlgBtn;
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// A plain message: captioned with the application's title, one "OK"
// button, no icon, centred on the screen. Returns when dismissed.
void ShowMessage(const std::string& Msg);
// A question or notice of the given kind; returns the modal result of the
// button chosen (mrYes, mrNo, mrOk, mrCancel, ...). The first of OK and Yes
// is the default button; Cancel, else No, else OK answers Esc.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// The error display: captioned Caption, error icon, one OK button.
void ShowErrorDialog(const std::string& Caption, const std::string& Msg);

// --- what a responder sees and answers ----------------------------------------

enum class DialogKind : std::uint8_t { Message, Question, Error };

struct DialogButton {
  std::string Caption;  // active code page, with its "&" accelerator marker
  int Result = mrNone;
  HWND Window = nullptr;  // the button's window while the dialog is shown
};

struct DialogRequest {
  DialogKind Kind = DialogKind::Message;
  TMsgDlgType Type = mtCustom;
  std::string Caption;  // active code page
  std::string Text;     // active code page
  std::vector<DialogButton> Buttons;
  int DefaultResult = mrNone;  // Enter
  int CancelResult = mrNone;   // Esc, closing the dialog, a quit message
  HWND Window = nullptr;       // the dialog while it is shown
};

struct DialogAnswer {
  // Clock time the dialog's loop runs (timers ticking) before it answers.
  std::uint64_t AfterMs = 0;
  // The answer; mrNone lets the dialog wait for its own buttons and keys
  // instead (it then ends with CancelResult when nothing can ever arrive).
  int Result = mrNone;
};

class DialogResponder {
 public:
  DialogResponder() = default;
  DialogResponder(const DialogResponder&) = delete;
  DialogResponder& operator=(const DialogResponder&) = delete;
  virtual ~DialogResponder() = default;
  // Called once the dialog is on screen, before its loop runs.
  [[nodiscard]] virtual DialogAnswer Respond(const DialogRequest& Request) = 0;
  // Called when the dialog has ended with Result, before its window goes.
  virtual void Finished(const DialogRequest& Request, int Result) {
    (void)Request;
    (void)Result;
  }
};

// The responder used from now on; null restores the default. Returns the
// previous one.
std::shared_ptr<DialogResponder> SetDialogResponder(std::shared_ptr<DialogResponder> Responder);

class DefaultDialogResponder final : public DialogResponder {
 public:
  [[nodiscard]] DialogAnswer Respond(const DialogRequest& Request) override;
};

// A responder that follows a script (tests): each dialog takes the next
// step; without one it answers at once with the default button. Every
// dialog shown is recorded.
class ScriptedDialogResponder final : public DialogResponder {
 public:
  struct Step {
    std::uint64_t AfterMs = 0;
    int Result = mrNone;
    // Runs when the dialog is on screen (e.g. injects a click on a button).
    std::function<void(const DialogRequest&)> Action;
  };
  void Push(Step S) { script_.push_back(std::move(S)); }
  void Push(std::uint64_t AfterMs, int Result) { script_.push_back(Step{AfterMs, Result, nullptr}); }
  [[nodiscard]] DialogAnswer Respond(const DialogRequest& Request) override;
  void Finished(const DialogRequest& Request, int Result) override;
  // The dialogs shown so far (their window handles are stale once closed).
  std::vector<DialogRequest> Shown;
  // The answer each dialog ended with.
  std::vector<int> Results;

 private:
  std::deque<Step> script_;
};

// Runs a dialog described by Request: what the three functions above do.
// Returns the modal result.
int ExecuteDialog(DialogRequest Request);

}  // namespace bellcut
