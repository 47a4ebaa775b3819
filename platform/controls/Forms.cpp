#include "platform/controls/Forms.h"

#include <algorithm>

#include "platform/base/Params.h"
#include "platform/base/SysUtils.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/StreamingReader.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/FontEngine.h"

namespace bellcut {

// --- TControlScrollBar -------------------------------------------------------

void TControlScrollBar::Assign(const TPersistent* Source) {
  if (const auto* s = dynamic_cast<const TControlScrollBar*>(Source)) {
    visible_ = s->visible_;
    range_ = s->range_;
    position_ = s->position_;
    return;
  }
  TPersistent::Assign(Source);
}

// --- TCustomForm -------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner), canvas_(std::make_unique<TControlCanvas>()) {
  RegisterStandardComponents();
  controlStyle_ = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  canvas_->SetControl(this);
  SetVisible(false);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetParentFont(false);
  SetBounds(0, 0, 320, 240);
  Screen.AddForm(this);
}

TCustomForm::~TCustomForm() {
  Screen.RemoveForm(this);
  // The canvas may hold a DC of the window, which the base destroys.
  canvas_.reset();
}

void TCustomForm::ReadResource() {
  if (!InitInheritedComponent(this))
    throw EResNotFound("Resource " + std::string(ClassName()) + " not found");
  if (oldCreateOrder_) DoCreate();
}

void TCustomForm::AfterConstruction() {
  if (!oldCreateOrder_) DoCreate();
}

void TCustomForm::DoCreate() {
  if (created_) return;
  created_ = true;
  if (!OnCreate) return;
  try {
    OnCreate(this);
  } catch (...) {
    Application.HandleException(this);
  }
}

void TCustomForm::BeforeDestruction() {
  if (destroyFired_) return;
  destroyFired_ = true;
  DoDestroy();
}

void TCustomForm::DoDestroy() {
  if (!OnDestroy) return;
  try {
    OnDestroy(this);
  } catch (...) {
    Application.HandleException(this);
  }
}

void TCustomForm::Loaded() {
  TWinControl::Loaded();
  // The client size waits for the border style, which a resource may give
  // after it.
  if (pendingClientWidth_ >= 0 || pendingClientHeight_ >= 0) {
    const int w = pendingClientWidth_ >= 0 ? pendingClientWidth_ : ClientWidth();
    const int h = pendingClientHeight_ >= 0 ? pendingClientHeight_ : ClientHeight();
    pendingClientWidth_ = pendingClientHeight_ = -1;
    ApplyClientSize(w, h);
  }
  ApplyPosition();
}

void TCustomForm::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
  TWinControl::GetChildren(Proc, Root);
  if (Root != this) return;
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->HasParent()) Proc(Components(i));
}

DWORD TCustomForm::WindowStyle() const {
  DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  switch (borderStyle_) {
    case bsNone: style |= WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog: style |= WS_POPUP | WS_CAPTION | WS_DLGFRAME; break;
  }
  if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) style |= WS_SYSMENU;
  // Tool windows and dialogs have a close button whatever the icons say.
  if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin || borderStyle_ == bsDialog) style |= WS_SYSMENU;
  return style;
}

DWORD TCustomForm::WindowExStyle() const {
  DWORD ex = 0;
  if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) ex |= WS_EX_TOOLWINDOW;
  if (borderStyle_ == bsDialog) ex |= WS_EX_DLGMODALFRAME;
  if (formStyle_ == fsStayOnTop) ex |= WS_EX_TOPMOST;
  return ex;
}

TPoint TCustomForm::OuterSize(int ClientW, int ClientH) const {
  TRect r{0, 0, ClientW, ClientH};
  AdjustWindowRectEx(&r, WindowStyle(), FALSE, WindowExStyle());
  return {r.Width(), r.Height()};
}

TRect TCustomForm::GetClientRect() const {
  if (HandleAllocated()) return TWinControl::GetClientRect();
  const TPoint frame = OuterSize(0, 0);
  return TRect{0, 0, std::max(0, Width() - frame.X), std::max(0, Height() - frame.Y)};
}

void TCustomForm::ApplyClientSize(int ClientW, int ClientH) {
  const TPoint outer = OuterSize(std::max(0, ClientW), std::max(0, ClientH));
  // A size change realigns the children before SetBounds returns.
  SetBounds(Left(), Top(), outer.X, outer.Y);
}

void TCustomForm::SetClientWidth(int Value) {
  if (Loading()) {
    pendingClientWidth_ = Value;
    return;
  }
  ApplyClientSize(Value, ClientHeight());
}

void TCustomForm::SetClientHeight(int Value) {
  if (Loading()) {
    pendingClientHeight_ = Value;
    return;
  }
  ApplyClientSize(ClientWidth(), Value);
}

void TCustomForm::ApplyStyles() {
  if (!HandleAllocated()) return;
  // Keep the client area: the frame changes around it.
  const int cw = ClientWidth();
  const int ch = ClientHeight();
  const HWND h = Handle();
  SetWindowLongPtr(h, GWL_STYLE,
                   static_cast<LONG_PTR>((WindowStyle() & ~DWORD{WS_VISIBLE}) |
                                         (IsWindowVisible(h) ? DWORD{WS_VISIBLE} : 0)));
  SetWindowLongPtr(h, GWL_EXSTYLE, static_cast<LONG_PTR>(WindowExStyle()));
  SetWindowPos(h, formStyle_ == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ApplyClientSize(cw, ch);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == borderStyle_) return;
  if (Loading() || !HandleAllocated()) {
    borderStyle_ = Value;
    return;
  }
  // The client area keeps its size across a change of frame.
  const int cw = ClientWidth();
  const int ch = ClientHeight();
  borderStyle_ = Value;
  ApplyStyles();
  ApplyClientSize(cw, ch);
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (Value == formStyle_) return;
  formStyle_ = Value;
  ApplyStyles();
}

void TCustomForm::SetPosition(TPosition Value) {
  if (Value == position_) return;
  position_ = Value;
  if (!Loading()) ApplyPosition();
}

void TCustomForm::SetPixelsPerInch(int Value) {
  if (Value <= 0) throw EInvalidOperation("PixelsPerInch must be positive");
  pixelsPerInch_ = Value;
}

void TCustomForm::ApplyPosition() {
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
      SetBounds((Screen.Width() - Width()) / 2, (Screen.Height() - Height()) / 2, Width(), Height());
      break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* main = Application.MainForm();
      if (main != nullptr && main != this)
        SetBounds(main->Left() + (main->Width() - Width()) / 2, main->Top() + (main->Height() - Height()) / 2, Width(),
                  Height());
      else
        SetBounds((Screen.Width() - Width()) / 2, (Screen.Height() - Height()) / 2, Width(), Height());
      break;
    }
    default:
      break;
  }
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style = WindowStyle() | (Params.Style & DWORD{WS_DISABLED});
  Params.ExStyle = WindowExStyle();
  Params.Parent = nullptr;
  Params.X = Left();
  Params.Y = Top();
  Params.Width = Width();
  Params.Height = Height();
  Params.Caption = Caption();
  Params.ClassStyle |= CS_DBLCLKS;
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (formStyle_ == fsStayOnTop)
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::PaintWindow(HDC DC) {
  canvas_->PaintWith(DC, [this] { Paint(); });
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE:
      // The caption bar's close button: the same as the program's Close.
      Close();
      Message.Result = 0;
      return;
    case CM_SHOWINGCHANGED: {
      const bool wasShowing = HandleAllocated() && IsWindowVisible(Handle());
      TWinControl::Dispatch(Message);
      const bool showing = Showing();
      if (showing && !wasShowing) DoShow();
      if (!showing && wasShowing) DoHide();
      return;
    }
    default:
      TWinControl::Dispatch(Message);
  }
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::Show() {
  SetVisible(true);
  if (HandleAllocated()) BringWindowToTop(Handle());
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application.MainForm() == this) {
    Application.Terminate();
    return;
  }
  if (action == caFree)
    Release();
  else
    Hide();
}

void TCustomForm::Release() {
  // Another owner may destroy the form before the application gets to it;
  // the application must hear of that and forget it.
  FreeNotification(&Application);
  Hide();
  if (std::find(Application.released_.begin(), Application.released_.end(), this) == Application.released_.end())
    Application.released_.push_back(this);
}

void* TCustomForm::operator new(std::size_t size) {
  void* p = ::operator new(size);
  TApplication::ClaimFormAddress(p);
  return p;
}

void TCustomForm::operator delete(void* p) noexcept { ::operator delete(p); }

// --- TScreen -----------------------------------------------------------------

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

void TScreen::RemoveForm(TCustomForm* Form) { std::erase(forms_, Form); }

// --- TApplication ------------------------------------------------------------

TApplication::PendingReference* TApplication::PendingReference::current_ = nullptr;

void TApplication::PendingReference::Claim(void* address) {
  PendingReference* p = current_;
  if (p == nullptr || p->claimed_) return;
  p->claimed_ = true;
  p->store_(address);
}

namespace {

TScreen& ScreenInstance() {
  static TScreen screen(nullptr);
  return screen;
}

TApplication& ApplicationInstance() {
  // The screen keeps the list of forms, which the application's forms leave
  // when it destroys them at exit: the screen must be the older object.
  (void)ScreenInstance();
  static TApplication app(nullptr);
  return app;
}

}  // namespace

TApplication& Application = ApplicationInstance();
TScreen& Screen = ScreenInstance();

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  // The forms this object destroys at exit use the window system and the
  // registries of windows, controls, canvases and GDI handles, which are
  // never destroyed (NeverDestroyed.h), and may draw text: the font engine,
  // which must be released at exit, is held by an object made older than
  // this one here.
  FontEngine::OutliveCaller();
}

TApplication::~TApplication() {
  // Only a program that did not call Done gets here with forms left; they
  // are destroyed as Done would, among the static destructors.
  Done();
}

void TApplication::Initialize() { InstallHandlers(); }

void TApplication::InstallHandlers() {
  SetControlExceptionHandler([this](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (...) {
      HandleException(this);
    }
  });
}

std::string TApplication::Title() const {
  if (titleSet_) return title_;
  return ChangeFileExt(ExtractFileName(ParamStr(0)), "");
}

void TApplication::FormCreated(TCustomForm* Form) {
  Form->AfterConstruction();
  if (mainForm_ == nullptr) {
    mainForm_ = Form;
    Form->HandleNeeded();
  }
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == mainForm_) mainForm_ = nullptr;
  std::erase(released_, AComponent);
}

void TApplication::DestroyForm(TCustomForm* Form) {
  Form->BeforeDestruction();
  TComponent::Destroy(Form);
}

void TApplication::DestroyReleased() {
  while (!released_.empty()) {
    TCustomForm* f = released_.back();
    released_.pop_back();
    DestroyForm(f);
  }
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  try {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  } catch (...) {
    HandleException(this);
  }
  DestroyReleased();
  return true;
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::Idle() {
  try {
    DoMouseIdle();
  } catch (...) {
    HandleException(this);
  }
  FreeDeviceContexts();
  DestroyReleased();
  // Waiting when nothing can ever arrive would never return.
  if (!IsIdleForever()) WaitMessage();
}

void TApplication::HandleMessage() {
  if (!ProcessMessage()) Idle();
}

void TApplication::Run() {
  InstallHandlers();
  if (mainForm_ != nullptr) mainForm_->Show();
  while (!terminated_) {
    if (ProcessMessage()) continue;
    Idle();
    if (terminated_ || !IsIdleForever()) continue;
    if (!closeWhenIdle_)
      throw EInvalidOperation("The message loop has nothing left to wait for: no timer, no input, nothing to paint");
    // As the caption bar's close button would.
    if (mainForm_ != nullptr && mainForm_->HandleAllocated()) SendMessage(mainForm_->Handle(), WM_CLOSE, 0, 0);
    // A main form that refused to close, or none at all, must not keep the
    // loop spinning.
    if (IsIdleForever()) Terminate();
  }
}

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const Exception& e) {
    if (OnException)
      OnException(Sender, e);
    else
      ShowException(e);
  } catch (const std::exception& e) {
    const Exception converted(e.what());
    if (OnException)
      OnException(Sender, converted);
    else
      ShowException(converted);
  } catch (...) {
    const Exception converted{std::string()};
    if (OnException)
      OnException(Sender, converted);
    else
      ShowException(converted);
  }
}

void TApplication::ShowException(const Exception& E) {
  errorShown_ = true;
  ShowErrorDialog(Title(), E.Message());
}

void TApplication::Done() {
  // A second call finds nothing left to do; a call from a form's OnDestroy
  // while this one is destroying forms must not destroy that form again.
  if (finishing_) return;
  finishing_ = true;
  struct Finished {
    bool& flag;
    ~Finished() { flag = false; }
  } finished{finishing_};
  while (ComponentCount() > 0) {
    auto* c = Components(ComponentCount() - 1);
    if (auto* f = dynamic_cast<TCustomForm*>(c))
      DestroyForm(f);
    else
      TComponent::Destroy(c);
  }
  mainForm_ = nullptr;
  released_.clear();
}

void TApplication::Reset() {
  Done();
  mainForm_ = nullptr;
  released_.clear();
  MSG quit;
  while (PeekMessage(&quit, HWND_THREAD_ONLY, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  terminated_ = false;
  errorShown_ = false;
  closeWhenIdle_ = false;
  title_.clear();
  titleSet_ = false;
  OnException = nullptr;
  SetControlExceptionHandler(nullptr);
}

}  // namespace bellcut
