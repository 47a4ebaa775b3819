#include "platform/controls/Dialogs.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>

#include "platform/base/CodePage.h"
#include "platform/controls/StdCtrls.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiGuards.h"
#include "platform/graphics/Text.h"
#include "platform/windowing/Desktop.h"

namespace bellcut {
namespace {

// Texts are written here in UTF-8 and shown in the active code page.
std::string Ui(const char* utf8) { return FromUtf8(utf8); }

struct ButtonInfo {
  TMsgDlgBtn Btn;
  const char* Caption;
  int Result;
};

const ButtonInfo kButtons[] = {
    {mbYes, "はい(&Y)", mrYes},           {mbNo, "いいえ(&N)", mrNo},
    {mbOK, "OK", mrOk},                   {mbCancel, "キャンセル", mrCancel},
    {mbAbort, "中止(&A)", mrAbort},       {mbRetry, "再試行(&R)", mrRetry},
    {mbIgnore, "無視(&I)", mrIgnore},     {mbAll, "すべて(&A)", mrAll},
    {mbNoToAll, "すべていいえ(&O)", mrNoToAll}, {mbYesToAll, "すべてはい(&A)", mrYesToAll},
    {mbHelp, "ヘルプ(&H)", mrNone},
};

std::string TypeCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return Ui("警告");
    case mtError: return Ui("エラー");
    case mtInformation: return Ui("情報");
    case mtConfirmation: return Ui("確認");
    case mtCustom: break;
  }
  return Application.Title();
}

std::shared_ptr<DialogResponder>& CurrentResponder() {
  // Never destroyed: an error display may still be shown while the
  // application object is destroyed at exit.
  static auto* responder = new std::shared_ptr<DialogResponder>();
  return *responder;
}

DialogResponder& Responder() {
  auto& r = CurrentResponder();
  if (!r) r = std::make_shared<DefaultDialogResponder>();
  return *r;
}

// --- the dialog window ----------------------------------------------------------

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kMaxTextWidth = 420;

struct DialogState {
  DialogRequest Request;
  TRect TextRect;
  int Result = mrNone;
  HWND Window = nullptr;
  std::vector<bool> Pressed;  // per button: pressed with the pointer captured
  std::vector<bool> Inside;
};

char AccelOf(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

bool HasIcon(TMsgDlgType type) { return type != mtCustom; }

// A simple emblem per kind: a coloured disc-like square with its sign.
void DrawIcon(HDC dc, TMsgDlgType type, int x, int y) {
  COLORREF fill = RGB(0, 90, 200);
  const char* sign = "i";
  switch (type) {
    case mtWarning: fill = RGB(240, 190, 0); sign = "!"; break;
    case mtError: fill = RGB(210, 30, 30); sign = "x"; break;
    case mtConfirmation: sign = "?"; break;
    case mtInformation: break;
    case mtCustom: return;
  }
  const ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(fill));
  const TRect box{x + 2, y + 2, x + kIconSize - 2, y + kIconSize - 2};
  FillRect(dc, box, brush.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  TRect r = box;
  DrawTextA(dc, sign, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void PaintDialog(DialogState& s, HWND hwnd) {
  PAINTSTRUCT ps;
  // Text layout may throw: the paint DC and the brush go back on every path.
  const ScopedDC paint(BeginPaint(hwnd, &ps), [hwnd, &ps](HDC) { EndPaint(hwnd, &ps); });
  const HDC dc = paint.get();
  TRect client;
  GetClientRect(hwnd, &client);
  {
    const ScopedGdiObject<HBRUSH> face(CreateSolidBrush(ColorToRGB(clBtnFace)));
    FillRect(dc, client, face.get());
  }
  if (HasIcon(s.Request.Type) && s.Request.Kind != DialogKind::Message)
    DrawIcon(dc, s.Request.Type, kMargin, kMargin);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(clWindowText));
  TRect r = s.TextRect;
  DrawTextA(dc, s.Request.Text.c_str(), static_cast<int>(s.Request.Text.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
}

LRESULT DialogProc(DialogState& s, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      PaintDialog(s, hwnd);
      return 0;
    case WM_CLOSE:
      s.Result = s.Request.CancelResult;
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN && s.Request.DefaultResult != mrNone) s.Result = s.Request.DefaultResult;
      if (wParam == VK_ESCAPE) s.Result = s.Request.CancelResult;
      return 0;
    case WM_CHAR: {
      const char c = static_cast<char>(std::tolower(static_cast<int>(wParam & 0xFF)));
      for (const DialogButton& b : s.Request.Buttons)
        if (c != 0 && AccelOf(b.Caption) == c) {
          s.Result = b.Result;
          break;
        }
      return 0;
    }
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

LRESULT ButtonProc(DialogState& s, std::size_t i, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TRect client;
  GetClientRect(hwnd, &client);
  const auto inside = [&] { return client.Contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); };
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const ScopedDC dc(BeginPaint(hwnd, &ps), [hwnd, &ps](HDC) { EndPaint(hwnd, &ps); });
      const DialogButton& b = s.Request.Buttons[i];
      DrawButtonFace(dc.get(), client, b.Caption, nullptr, s.Pressed[i] && s.Inside[i],
                     b.Result == s.Request.DefaultResult, true);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetCapture(hwnd);
      s.Pressed[i] = true;
      s.Inside[i] = true;
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE:
      if (s.Pressed[i] && s.Inside[i] != inside()) {
        s.Inside[i] = inside();
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (s.Pressed[i]) {
        s.Pressed[i] = false;
        ReleaseCapture();
        InvalidateRect(hwnd, nullptr, FALSE);
        if (inside()) s.Result = s.Request.Buttons[i].Result;
      }
      return 0;
    case WM_CAPTURECHANGED:
      s.Pressed[i] = false;
      return 0;
    default:
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

// Measures the text and places everything; returns the client size.
TPoint Layout(DialogState& s) {
  const bool icon = HasIcon(s.Request.Type) && s.Request.Kind != DialogKind::Message;
  const int textLeft = kMargin + (icon ? kIconSize + kMargin : 0);
  TRect measure{0, 0, kMaxTextWidth, 0};
  if (!s.Request.Text.empty()) {
    const ScopedDC dc(CreateCompatibleDC(nullptr));
    DrawTextA(dc.get(), s.Request.Text.c_str(), static_cast<int>(s.Request.Text.size()), &measure,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  } else {
    measure = TRect{0, 0, 0, 0};
  }
  int textTop = kMargin;
  if (icon && measure.Height() < kIconSize) textTop += (kIconSize - measure.Height()) / 2;
  s.TextRect = Bounds(textLeft, textTop, measure.Width(), measure.Height());
  const int contentBottom = std::max(s.TextRect.Bottom, icon ? kMargin + kIconSize : 0);
  const int n = static_cast<int>(s.Request.Buttons.size());
  const int buttonsWidth = n * kButtonWidth + std::max(0, n - 1) * kButtonGap;
  const int width = std::max({s.TextRect.Right + kMargin, buttonsWidth + 2 * kMargin, 160});
  const int buttonsTop = contentBottom + kMargin + 4;
  return {width, buttonsTop + kButtonHeight + kMargin};
}

// Disables the other top-level windows while the dialog is up, and brings
// back what it found.
class TaskWindowsDisabled {
 public:
  TaskWindowsDisabled() {
    for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT))
      if (IsWindowVisible(h) && IsWindowEnabled(h)) disabled_.push_back(h);
    for (HWND h : disabled_) EnableWindow(h, FALSE);
  }
  ~TaskWindowsDisabled() {
    for (HWND h : disabled_)
      if (IsWindow(h)) EnableWindow(h, TRUE);
  }
  TaskWindowsDisabled(const TaskWindowsDisabled&) = delete;
  TaskWindowsDisabled& operator=(const TaskWindowsDisabled&) = delete;

 private:
  std::vector<HWND> disabled_;
};

class WindowGuard {
 public:
  WindowGuard() = default;
  ~WindowGuard() {
    if (hwnd != nullptr && IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  WindowGuard(const WindowGuard&) = delete;
  WindowGuard& operator=(const WindowGuard&) = delete;
  HWND hwnd = nullptr;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The answer "yes" means: Yes, else OK; anything else the cancel answer.
int AnswerFor(const DialogRequest& r, bool yes) {
  if (yes)
    for (int wanted : {mrYes, mrOk})
      for (const DialogButton& b : r.Buttons)
        if (b.Result == wanted) return wanted;
  return r.CancelResult;
}

}  // namespace

std::shared_ptr<DialogResponder> SetDialogResponder(std::shared_ptr<DialogResponder> responder) {
  auto previous = CurrentResponder();
  CurrentResponder() = std::move(responder);
  return previous;
}

DialogAnswer DefaultDialogResponder::Respond(const DialogRequest& r) {
  std::ostream& out = r.Kind == DialogKind::Error ? std::cerr : std::cout;
  out << ToUtf8(r.Text) << std::endl;
  if (r.Kind != DialogKind::Question) return {0, r.DefaultResult != mrNone ? r.DefaultResult : r.CancelResult};
  if (isatty(STDIN_FILENO) != 0) {
    std::cout << "[" << ToUtf8(r.Caption) << "] (y/n) " << std::flush;
    std::string line;
    std::getline(std::cin, line);
    const std::string a = Lower(line);
    return {0, AnswerFor(r, a == "y" || a == "yes")};
  }
  const char* env = std::getenv("BELLCUT_ANSWER");
  return {0, AnswerFor(r, env != nullptr && Lower(env) == "yes")};
}

DialogAnswer ScriptedDialogResponder::Respond(const DialogRequest& r) {
  Shown.push_back(r);
  if (script_.empty()) return {0, r.DefaultResult != mrNone ? r.DefaultResult : r.CancelResult};
  Step step = std::move(script_.front());
  script_.pop_front();
  if (step.Action) step.Action(r);
  return {step.AfterMs, step.Result};
}

void ScriptedDialogResponder::Finished(const DialogRequest&, int Result) { Results.push_back(Result); }

int ExecuteDialog(DialogRequest Request) {
  if (Request.CancelResult == mrNone) Request.CancelResult = Request.DefaultResult;
  auto state = std::make_shared<DialogState>();
  state->Request = std::move(Request);
  DialogState& s = *state;
  s.Pressed.assign(s.Request.Buttons.size(), false);
  s.Inside.assign(s.Request.Buttons.size(), false);

  const TPoint client = Layout(s);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;
  TRect outer{0, 0, client.X, client.Y};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  const int w = outer.Width();
  const int h = outer.Height();
  const int sw = GetSystemMetrics(SM_CXSCREEN);
  const int sh = GetSystemMetrics(SM_CYSCREEN);

  const HWND previousFocus = GetFocus();
  TaskWindowsDisabled disabled;
  WindowGuard window;
  CreateParams p;
  p.Style = style;
  p.ExStyle = exStyle;
  p.Caption = s.Request.Caption;
  p.X = (sw - w) / 2;
  p.Y = (sh - h) / 2;
  p.Width = w;
  p.Height = h;
  p.Background = ColorToRGB(clBtnFace);
  p.WndProc = [state](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DialogProc(*state, hwnd, msg, wParam, lParam);
  };
  window.hwnd = CreateWindowEx(p);
  if (window.hwnd == nullptr) throw EOutOfResources("Error creating window");
  s.Window = window.hwnd;
  s.Request.Window = window.hwnd;

  const int n = static_cast<int>(s.Request.Buttons.size());
  const int buttonsWidth = n * kButtonWidth + std::max(0, n - 1) * kButtonGap;
  int x = (client.X - buttonsWidth) / 2;
  for (std::size_t i = 0; i < s.Request.Buttons.size(); ++i) {
    CreateParams b;
    b.Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    b.Parent = window.hwnd;
    b.Caption = s.Request.Buttons[i].Caption;
    b.X = x;
    b.Y = client.Y - kMargin - kButtonHeight;
    b.Width = kButtonWidth;
    b.Height = kButtonHeight;
    b.WndProc = [state, i](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
      return ButtonProc(*state, i, hwnd, msg, wParam, lParam);
    };
    s.Request.Buttons[i].Window = CreateWindowEx(b);
    x += kButtonWidth + kButtonGap;
  }
  ShowWindow(window.hwnd, SW_SHOW);
  SetFocus(window.hwnd);
  UpdateWindow(window.hwnd);

  DialogResponder& responder = Responder();
  const DialogAnswer answer = responder.Respond(s.Request);
  const std::uint64_t deadline = DesktopTime() + answer.AfterMs;

  while (s.Result == mrNone) {
    if (Application.Terminated()) {
      s.Result = s.Request.CancelResult;
      break;
    }
    // What is due by the deadline is delivered before the answer.
    if (Application.ProcessMessage()) continue;
    if (answer.Result != mrNone && DesktopTime() >= deadline) {
      s.Result = answer.Result;
      break;
    }
    if (answer.Result != mrNone) {
      // Wait for the next tick or the answer, whichever is due first: every
      // timer still ticks when due, and a long wait takes one step per tick.
      const std::optional<std::uint64_t> tick = NextTimerDue();
      DesktopBackend().Wait(tick ? std::min(deadline, *tick) : deadline);
    } else if (IsIdleForever() || !WaitMessage()) {
      s.Result = s.Request.CancelResult;  // nobody can ever answer
    }
  }
  responder.Finished(s.Request, s.Result);
  if (GetCapture() != nullptr && (GetCapture() == window.hwnd || IsChild(window.hwnd, GetCapture())))
    ReleaseCapture();
  DestroyWindow(window.hwnd);
  window.hwnd = nullptr;
  if (previousFocus != nullptr && IsWindow(previousFocus)) SetFocus(previousFocus);
  return s.Result;
}

void ShowMessage(const std::string& Msg) {
  DialogRequest r;
  r.Kind = DialogKind::Message;
  r.Type = mtCustom;
  r.Caption = Application.Title();
  r.Text = Msg;
  r.Buttons.push_back({"OK", mrOk, nullptr});
  r.DefaultResult = mrOk;
  r.CancelResult = mrOk;
  (void)ExecuteDialog(std::move(r));
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  (void)HelpCtx;  // no help system
  DialogRequest r;
  r.Kind = DialogKind::Question;
  r.Type = DlgType;
  r.Caption = TypeCaption(DlgType);
  r.Text = Msg;
  for (const ButtonInfo& b : kButtons)
    if (Buttons.Contains(b.Btn)) r.Buttons.push_back({Ui(b.Caption), b.Result, nullptr});
  if (r.Buttons.empty()) throw EInvalidOperation("MessageDlg needs at least one button");
  const auto has = [&](int result) {
    return std::any_of(r.Buttons.begin(), r.Buttons.end(), [&](const DialogButton& b) { return b.Result == result; });
  };
  r.DefaultResult = has(mrOk) ? mrOk : has(mrYes) ? mrYes : r.Buttons.front().Result;
  r.CancelResult = has(mrCancel) ? mrCancel : has(mrNo) ? mrNo : has(mrOk) ? mrOk : r.DefaultResult;
  return ExecuteDialog(std::move(r));
}

void ShowErrorDialog(const std::string& Caption, const std::string& Msg) {
  DialogRequest r;
  r.Kind = DialogKind::Error;
  r.Type = mtError;
  r.Caption = Caption;
  r.Text = Msg;
  r.Buttons.push_back({"OK", mrOk, nullptr});
  r.DefaultResult = mrOk;
  r.CancelResult = mrOk;
  (void)ExecuteDialog(std::move(r));
}

}  // namespace bellcut
