// The program's one window: a stay-on-top tool window whose client area is a
// bell-shaped panel. It loads the dropped picture (FormCreate), flies in from
// a screen edge and draws the picture on its first tick (Timer1Timer), and on
// arrival captures its client area and saves it as a JPEG (Button1Click).
// Its components come from the form resource registered for the class.
#pragma once

#include <cstdint>
#include <string>

#include "app/FlyIn.h"
#include "clearctrl/ClearPanel.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

namespace bellcut {

class TMainForm1 : public TForm {
 public:
  BELLCUT_CLASS_NAME(TMainForm1)
  explicit TMainForm1(TComponent* AOwner);
  ~TMainForm1() override;

  // Published handlers, bound by name from the resource.
  void FormCreate(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void Button1Click(TObject* Sender);

  // Components, filled in by name when the resource is read.
  TClearPanel* ClearPanel1 = nullptr;
  TImage* Image2 = nullptr;
  TPanel* Panel1 = nullptr;
  TImage* Image1 = nullptr;
  TTimer* Timer1 = nullptr;
  TButton* Button1 = nullptr;
  TImage* Image3 = nullptr;

  // The parameters joined, each followed by one blank; empty without any.
  std::string FileName;
  // FileName's extension as extracted, its trailing blank included.
  std::string FileExt;
  TEntryDirection Direction = TEntryDirection::FromLeft;

 private:
  void FirstTick();
  void DrawPictureCentred();
};

// The one main window (set by Application.CreateForm before its constructor
// runs).
extern TMainForm1* MainForm1;

}  // namespace bellcut
