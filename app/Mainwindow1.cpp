#include "app/Mainwindow1.h"

#include <sys/stat.h>

#include "app/FileNames.h"
#include "app/MinuteClock.h"
#include "app/Resources.h"
#include "platform/base/Params.h"
#include "platform/base/SysUtils.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/StreamingReader.h"
#include "platform/controls/StreamingRegistry.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/JPEGImage.h"
#include "platform/windowing/WinUser.h"

namespace bellcut {

TMainForm1* MainForm1 = nullptr;

namespace {

const bool registered = [] {
  RegisterFormResource("TMainForm1", resources::kMainForm1Text);
  TPublishedClass<TMainForm1, TForm>()
      .Field("ClearPanel1", &TMainForm1::ClearPanel1)
      .Field("Image2", &TMainForm1::Image2)
      .Field("Panel1", &TMainForm1::Panel1)
      .Field("Image1", &TMainForm1::Image1)
      .Field("Timer1", &TMainForm1::Timer1)
      .Field("Button1", &TMainForm1::Button1)
      .Field("Image3", &TMainForm1::Image3)
      .Method("FormCreate", &TMainForm1::FormCreate)
      .Method("Timer1Timer", &TMainForm1::Timer1Timer)
      .Method("Button1Click", &TMainForm1::Button1Click);
  return true;
}();

// Only a regular file is read as a picture. A FIFO would block the read
// forever and a device such as /dev/zero never ends; both pass FileExists
// (they are not directories), so they are turned away here, as silently as
// a directory is.
bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

TMainForm1::TMainForm1(TComponent* AOwner) : TForm(AOwner) {
  (void)registered;
  ReadResource();
  FileName.clear();
  FileExt.clear();
  Direction = DirectionForMinute(CurrentMinute());
  const TPoint place = InitialPlacement(Direction, Screen.Width(), Screen.Height());
  SetTop(place.Y);
  SetLeft(place.X);
}

TMainForm1::~TMainForm1() = default;

void TMainForm1::FormCreate(TObject*) {
  if (ParamCount() < 1) {
    MessageBeep(0);
    ShowMessage(HintText());
    if (MessageDlg(QuestionText(), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) != mrYes) return;
    const std::string address = InfoPageAddress(ParamStr(0));
    (void)ShellExecuteA(Handle(), "OPEN", address.c_str(), "", "", SW_SHOW);
    return;
  }
  FileName = JoinParameters();
  if (!FileExists(FileName)) return;
  FileExt = ExtractFileExt(FileName);
  if (!IsAcceptedExtension(FileExt)) return;
  const std::string path = FileName.substr(0, FileName.size() - 1);
  if (!IsRegularFile(path)) return;
  Image1->Picture()->LoadFromFile(path);
}

void TMainForm1::Timer1Timer(TObject* Sender) {
  if (ParamCount() < 1) {
    Close();
    return;
  }
  if (Timer1->Tag() == 0) FirstTick();

  const int cx = (Screen.Width() - Width()) / 2;
  const int cy = (Screen.Height() - Height()) / 2;
  const TFlightStep step = FlightStep(Direction, Left(), Top(), cx, cy);
  if (!step.Arrived) {
    if (step.Left != Left()) SetLeft(step.Left);
    if (step.Top != Top()) SetTop(step.Top);
    return;
  }
  Timer1->SetEnabled(false);
  Button1Click(Sender);
  Close();
}

void TMainForm1::FirstTick() {
  const int w = Image1->Width(), h = Image1->Height();
  const TClientFit fit = FitClient(w, h);
  if (fit.Resize && fit.WidthFirst) {
    SetClientWidth(fit.Side);
    SetClientHeight(fit.Side);
  } else if (fit.Resize) {
    SetClientHeight(fit.Side);
    SetClientWidth(fit.Side);
  }
  DrawPictureCentred();
  const TPoint place = FirstTickPlacement(Direction, Screen.Width(), Screen.Height(), Width(), Height());
  SetTop(place.Y);
  SetLeft(place.X);
  Timer1->SetTag(1);
}

void TMainForm1::DrawPictureCentred() {
  const int w = Image1->Width(), h = Image1->Height();
  TGraphic* picture = Image1->Picture()->Graphic();
  TCanvas& canvas = Image2->Canvas();
  try {
    canvas.Draw((Image2->Width() - w) / 2, (Image2->Height() - h) / 2, picture);
  } catch (...) {
    // A JPEG is decoded only here, when it is drawn, so damaged entropy data
    // shows up at this point rather than at load. The first tick is redone
    // until it completes; were the picture kept, every later tick would fail
    // the same way and the error display would never stop coming back. So
    // the picture is dropped and the error raised once: the next tick draws
    // nothing and the run ends with a white square, as for a file that could
    // not be loaded at all.
    Image1->Picture()->Assign(nullptr);
    throw;
  }
}

void TMainForm1::Button1Click(TObject*) {
  {
    // Both are released on every path; an error of the save leaves before
    // the beep and the report.
    auto jpeg = std::make_unique<TJPEGImage>();
    auto bitmap = std::make_unique<TBitmap>();
    const TRect r{0, 0, Image2->Width(), Image2->Height()};
    Image2->Canvas().CopyRect(r, Canvas(), r);
    bitmap->Assign(Image2->Picture());
    jpeg->Assign(bitmap.get());
    jpeg->SetCompressionQuality(80);
    jpeg->SaveToFile(OutputFileName(FileName));
    jpeg.reset();
    bitmap.reset();
  }
  MessageBeep(0);
  ShowMessage(ReportText(Image2->Width(), Image2->Height()));
}

}  // namespace bellcut
