// Forms, the screen and the application object.
//
// A form is a top-level window holding controls. A form class with a form
// resource is built in three steps, in this order:
//
//   1. the resource is read: the components are created and configured, the
//      form's published fields are filled by name and its events bound to
//      its published methods;
//   2. the rest of the derived constructor body runs;
//   3. the creation wrapper fires OnCreate (DoCreate), unless OldCreateOrder
//      is set, in which case OnCreate already ran at the end of step 1.
//
// C++ constructs a base before the derived class's fields exist, so the
// base constructor cannot read the resource: the derived constructor starts
// with ReadResource(), and whoever creates the form (Application.CreateForm,
// or TCustomForm::Create for a form that is not an application form) runs
// step 3 once the constructor has returned:
//
//   class TMainForm1 : public TForm {
//    public:
//     BELLCUT_CLASS_NAME(TMainForm1)
//     explicit TMainForm1(TComponent* AOwner) : TForm(AOwner) {
//       ReadResource();             // step 1: Image1, Timer1, ... are set now
//       Image1->SetTag(1);          // step 2: the constructor body proper
//     }
//     void FormCreate(TObject* Sender);  // published, bound by the resource
//     TImage* Image1 = nullptr;
//     TTimer* Timer1 = nullptr;
//   };
//   // in the .cpp file: register the resource text and the published parts
//   const bool registered = [] {
//     RegisterFormResource("TMainForm1", kMainForm1Text);
//     TPublishedClass<TMainForm1, TForm>()
//         .Field("Image1", &TMainForm1::Image1).Field("Timer1", &TMainForm1::Timer1)
//         .Method("FormCreate", &TMainForm1::FormCreate);
//     return true;
//   }();
//
//   TMainForm1* MainForm1 = nullptr;
//   Application.CreateForm(MainForm1);  // MainForm1 is set before step 1
//
// A form destroyed by the application (at exit) or by Release fires
// OnDestroy before its derived part is destroyed; a form deleted any other
// way does not.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/base/Exceptions.h"
#include "platform/controls/Controls.h"

namespace bellcut {

class TCustomForm;

enum class TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using enum TFormBorderStyle;
enum class TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
using enum TFormStyle;
enum class TPosition : std::uint8_t {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
  poOwnerFormCenter,
};
using enum TPosition;
enum class TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
using enum TWindowState;
enum class TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;
enum class TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using enum TBorderIcon;
using TBorderIcons = TSet<TBorderIcon>;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

// Modal results (dialog buttons).
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

// A form's scroll bar settings. Forms here never show scroll bars; the
// settings are kept so that resources naming them load and save unchanged.
class TControlScrollBar : public TPersistent {
 public:
  BELLCUT_CLASS_NAME(TControlScrollBar)
  [[nodiscard]] bool Visible() const { return visible_; }
  void SetVisible(bool Value) { visible_ = Value; }
  [[nodiscard]] int Range() const { return range_; }
  void SetRange(int Value) { range_ = Value; }
  [[nodiscard]] int Position() const { return position_; }
  void SetPosition(int Value) { position_ = Value; }
  void Assign(const TPersistent* Source) override;

 private:
  bool visible_ = true;
  int range_ = 0;
  int position_ = 0;
};

class TCustomForm : public TWinControl {
 public:
  BELLCUT_CLASS_NAME(TCustomForm)
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // A form's storage tells Application.CreateForm where the form will be,
  // so the caller's reference is set before the constructor runs.
  static void* operator new(std::size_t size);
  static void operator delete(void* p) noexcept;

  // Creates a form of class T owned by AOwner and runs its creation wrapper
  // (OnCreate), for forms that the application does not create.
  template <class T>
  static T* Create(TComponent* AOwner) {
    T* form = TComponent::MakeOwned<T>(AOwner);
    form->AfterConstruction();
    return form;
  }

  // The creation wrapper: fires OnCreate (unless OldCreateOrder already did).
  // An exception from OnCreate is shown by the application and creation
  // goes on.
  void AfterConstruction();

  void Dispatch(TMessage& Message) override;

  // Placement of the outer window, in screen coordinates. ClientWidth and
  // ClientHeight resize the window so that its client area gets that size
  // and realign the children before they return; while the form is being
  // read from its resource they wait for the border style and apply in
  // Loaded.
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);
  [[nodiscard]] int ClientWidth() const { return ClientRect().Width(); }
  [[nodiscard]] int ClientHeight() const { return ClientRect().Height(); }

  [[nodiscard]] TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle Value);
  [[nodiscard]] TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons Value) { borderIcons_ = Value; }
  [[nodiscard]] TFormStyle FormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle Value);
  [[nodiscard]] TPosition Position() const { return position_; }
  void SetPosition(TPosition Value);
  [[nodiscard]] TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState Value) { windowState_ = Value; }

  [[nodiscard]] bool OldCreateOrder() const { return oldCreateOrder_; }
  void SetOldCreateOrder(bool Value) { oldCreateOrder_ = Value; }
  [[nodiscard]] int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int Value);
  [[nodiscard]] int TextHeight() const { return textHeight_; }
  void SetTextHeight(int Value) { textHeight_ = Value; }
  [[nodiscard]] bool Scaled() const { return scaled_; }
  void SetScaled(bool Value) { scaled_ = Value; }
  [[nodiscard]] bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool Value) { autoScroll_ = Value; }
  [[nodiscard]] bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool Value) { keyPreview_ = Value; }
  [[nodiscard]] TControlScrollBar* HorzScrollBar() { return &horzScrollBar_; }
  [[nodiscard]] TControlScrollBar* VertScrollBar() { return &vertScrollBar_; }

  // A canvas on the client area. Outside a paint it draws on, and reads
  // back, what the window shows there (a DC of the form's window).
  [[nodiscard]] TCanvas& Canvas() { return *canvas_; }

  // Showing and closing.
  void Show();
  void Hide();
  // Asks OnCloseQuery, then OnClose decides: hide (the default), free or
  // nothing. Closing the application's main form terminates the
  // application instead.
  void Close();
  [[nodiscard]] virtual bool CloseQuery();
  // Destroys the form once the message being handled is finished.
  void Release();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  void Loaded() override;
  // A resource lists the form's controls, then the components it owns that
  // have no parent (timers and the like).
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const override;
  // Fires OnDestroy once; the application and Release call it before the
  // form is deleted.
  void BeforeDestruction() override;

 protected:
  // Reads the resource registered for this form's class (step 1 above);
  // EResNotFound when there is none. With OldCreateOrder it ends with DoCreate.
  void ReadResource();
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoClose(TCloseAction& Action);
  virtual void DoShow();
  virtual void DoHide();
  virtual void Paint();

  [[nodiscard]] TRect GetClientRect() const override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void PaintWindow(HDC DC) override;

 private:
  friend class TApplication;
  [[nodiscard]] DWORD WindowStyle() const;
  [[nodiscard]] DWORD WindowExStyle() const;
  // Outer size for a client area of the given size under the current styles.
  [[nodiscard]] TPoint OuterSize(int ClientW, int ClientH) const;
  void ApplyClientSize(int ClientW, int ClientH);
  void ApplyPosition();
  void ApplyStyles();

  TFormBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  TWindowState windowState_ = wsNormal;
  bool oldCreateOrder_ = false;
  int pixelsPerInch_ = 96;
  int textHeight_ = 13;
  bool scaled_ = true;
  bool autoScroll_ = true;
  bool keyPreview_ = false;
  TControlScrollBar horzScrollBar_;
  TControlScrollBar vertScrollBar_;
  std::unique_ptr<TControlCanvas> canvas_;
  int pendingClientWidth_ = -1;   // set while loading
  int pendingClientHeight_ = -1;
  bool created_ = false;           // OnCreate has run
  bool destroyFired_ = false;      // OnDestroy has run
};

class TForm : public TCustomForm {
 public:
  BELLCUT_CLASS_NAME(TForm)
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// The resource a form class asked for does not exist.
BELLCUT_EXCEPTION(EResNotFound, Exception);

// --- the screen --------------------------------------------------------------

class TScreen : public TComponent {
 public:
  BELLCUT_CLASS_NAME(TScreen)
  explicit TScreen(TComponent* AOwner) : TComponent(AOwner) {}

  // The primary display's size, read afresh at every call.
  [[nodiscard]] int Width() const;
  [[nodiscard]] int Height() const;
  [[nodiscard]] int PixelsPerInch() const { return 96; }
  [[nodiscard]] TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor Value) { cursor_ = Value; }
  // Every form that exists, in creation order.
  [[nodiscard]] int FormCount() const { return static_cast<int>(forms_.size()); }
  [[nodiscard]] TCustomForm* Forms(int Index) const { return forms_.at(static_cast<std::size_t>(Index)); }

 private:
  friend class TCustomForm;
  void AddForm(TCustomForm* Form) { forms_.push_back(Form); }
  void RemoveForm(TCustomForm* Form);
  std::vector<TCustomForm*> forms_;
  TCursor cursor_ = crDefault;
};

// --- the application ---------------------------------------------------------

class TApplication : public TComponent {
 public:
  BELLCUT_CLASS_NAME(TApplication)
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize();

  // The title names the application; it captions its plain message dialogs
  // and the error display. Text in the active code page; by default the
  // program file's name without its extension.
  [[nodiscard]] std::string Title() const;
  void SetTitle(const std::string& Value) { title_ = Value; titleSet_ = true; }

  // Creates a form of class T owned by the application. Reference holds the
  // new form before its constructor runs (so the form's own code may use
  // it); after the constructor the creation wrapper fires OnCreate, and
  // only then does the first form created become MainForm and get its
  // window. An exception from the constructor leaves Reference null and
  // propagates.
  template <class T>
  void CreateForm(T*& Reference) {
    InstallHandlers();
    PendingReference pending(&Reference);
    T* form = nullptr;
    try {
      form = TComponent::MakeOwned<T>(this);
    } catch (...) {
      Reference = nullptr;
      throw;
    }
    Reference = form;
    FormCreated(form);
  }

  [[nodiscard]] TCustomForm* MainForm() const { return mainForm_; }

  // Shows the main form and dispatches messages until Terminate.
  void Run();
  // Ends Run (and any modal dialog's loop): posts the quit message, which
  // sets Terminated when the loop takes it.
  void Terminate();
  [[nodiscard]] bool Terminated() const { return terminated_; }
  // Dispatches every message that is waiting now, without waiting.
  void ProcessMessages();
  // Dispatches one message, or does the idle work and waits for one.
  void HandleMessage();
  // Dispatches one waiting message; false when there was none.
  bool ProcessMessage();

  // Shows the exception being handled (OnException when set, else
  // ShowException). Call from a catch block.
  void HandleException(TObject* Sender);
  // The error display: a modal message box captioned with Title, with the
  // error icon and an OK button, showing the message.
  void ShowException(const Exception& E);
  TExceptionEvent OnException;
  // Whether an error display has been shown; the program then exits with 1.
  [[nodiscard]] bool ErrorShown() const { return errorShown_; }
  [[nodiscard]] int ExitCode() const { return errorShown_ ? 1 : 0; }

  // Headless ending: when nothing more can happen without a user (no timer,
  // nothing queued, nothing to paint), Run closes the main form as its
  // close button would. Without this, Run raises EInvalidOperation in that
  // state rather than waiting forever.
  void SetCloseWhenIdle(bool Value) { closeWhenIdle_ = Value; }
  [[nodiscard]] bool CloseWhenIdle() const { return closeWhenIdle_; }

  // Destroys the forms (each told by OnDestroy first), as the platform
  // does at exit. Calling it again, or from a form's OnDestroy while it
  // runs, does nothing more. A program that returns from main without it
  // leaves the forms to the application object's destructor, which is safe:
  // the window system and the graphics registries are never destroyed.
  void Done();

  // Puts the application object back as before Initialize: forms destroyed,
  // no main form, not terminated, no error shown, default title (several
  // runs in one process, as tests do).
  void Reset();

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TCustomForm;
  // While a form class is being constructed by CreateForm, the address it
  // is constructed at is stored into the caller's reference as soon as it
  // is allocated (TCustomForm's allocation function calls Claim).
  class PendingReference {
   public:
    template <class T>
    explicit PendingReference(T** slot)
        : previous_(current_), store_([slot](void* p) { *slot = static_cast<T*>(p); }) {
      current_ = this;
    }
    ~PendingReference() { current_ = previous_; }
    PendingReference(const PendingReference&) = delete;
    PendingReference& operator=(const PendingReference&) = delete;
    static void Claim(void* address);

   private:
    static PendingReference* current_;
    PendingReference* previous_;
    std::function<void(void*)> store_;
    bool claimed_ = false;
  };

 public:
  // Allocation hook used by TCustomForm (see PendingReference).
  static void ClaimFormAddress(void* address) { PendingReference::Claim(address); }

 private:
  void FormCreated(TCustomForm* Form);
  void InstallHandlers();
  void Idle();
  void DestroyReleased();
  void DestroyForm(TCustomForm* Form);

  std::string title_;
  bool titleSet_ = false;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool errorShown_ = false;
  bool closeWhenIdle_ = false;
  bool finishing_ = false;  // Done is destroying the forms
  std::vector<TCustomForm*> released_;
};

// The application object and the screen of the program (one of each).
extern TApplication& Application;
extern TScreen& Screen;

// Makes every standard component class of this library known to the form
// reader (forms, images, panels, buttons, speed buttons, timers). Forms call
// it; it does its work once.
void RegisterStandardComponents();

}  // namespace bellcut
