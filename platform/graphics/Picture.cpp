#include "platform/graphics/Picture.h"

#include <map>

#include "platform/base/Exceptions.h"
#include "platform/base/NeverDestroyed.h"
#include "platform/base/SysUtils.h"
#include "platform/graphics/Bitmap.h"

#include "platform/graphics/JPEGImage.h"

namespace bellcut {
namespace {

struct FileFormat {
  std::string Description;
  TPicture::GraphicFactory Factory;
};

// Never destroyed: pictures may still be loaded while forms are destroyed at
// exit (NeverDestroyed.h).
std::map<std::string, FileFormat>& Formats() {
  static NeverDestroyed<std::map<std::string, FileFormat>> formats;
  return *formats;
}

std::string NormalizedExtension(const std::string& extension) {
  std::string ext = AnsiLowerCase(extension);
  if (!ext.empty() && ext.front() != '.') ext.insert(ext.begin(), '.');
  return ext;
}

// A new graphic of the same class as source, holding a copy of it.
std::unique_ptr<TGraphic> CopyOf(const TGraphic& source) {
  std::unique_ptr<TGraphic> copy;
  for (const auto& [ext, format] : Formats()) {
    std::unique_ptr<TGraphic> candidate = format.Factory();
    if (candidate && candidate->ClassName() == source.ClassName()) {
      copy = std::move(candidate);
      break;
    }
  }
  // A class nobody registered becomes a bitmap of the same picture.
  if (!copy) copy = std::make_unique<TBitmap>();
  copy->Assign(&source);
  return copy;
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description, GraphicFactory factory) {
  const std::string ext = NormalizedExtension(extension);
  if (ext.size() < 2 || !factory) throw EInvalidOperation("Invalid picture file format registration");
  Formats()[ext] = FileFormat{description, std::move(factory)};
}

void TPicture::RegisterStandardFormats() {
  // Explicit and idempotent: TPicture calls it on first use, so neither
  // static initialisation order nor the linker can lose a format.
  static const bool done = [] {
    RegisterFileFormat(".bmp", "Bitmaps", [] { return std::make_unique<TBitmap>(); });
    RegisterFileFormat(".jpg", "JPEG Image File", [] { return std::make_unique<TJPEGImage>(); });
    RegisterFileFormat(".jpeg", "JPEG Image File", [] { return std::make_unique<TJPEGImage>(); });
    return true;
  }();
  (void)done;
}

TPicture::TPicture() { RegisterStandardFormats(); }

TPicture::~TPicture() = default;

void TPicture::Adopt(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  // Changes inside the graphic (loading, drawing on a bitmap's canvas) are changes of the picture.
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::Assign(const TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    SetGraphic(nullptr);
    return;
  }
  if (const auto* picture = dynamic_cast<const TPicture*>(Source)) {
    SetGraphic(picture->Graphic());
    return;
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(Source)) {
    SetGraphic(graphic);
    return;
  }
  TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) const {
  if (auto* graphic = dynamic_cast<TGraphic*>(Dest)) {
    graphic->Assign(graphic_.get());
    return;
  }
  TPersistent::AssignTo(Dest);
}

void TPicture::SetGraphic(const TGraphic* value) {
  if (value == graphic_.get()) return;
  Adopt(value == nullptr ? nullptr : CopyOf(*value));
}

TBitmap& TPicture::Bitmap() {
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get())) return *bitmap;
  Adopt(std::make_unique<TBitmap>());
  return static_cast<TBitmap&>(*graphic_);
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::LoadFromFile(const std::string& path) {
  RegisterStandardFormats();
  const std::string ext = NormalizedExtension(ExtractFileExt(path));
  auto it = Formats().find(ext);
  if (ext.empty() || it == Formats().end())
    throw EInvalidGraphic("Unknown picture file extension (" + ExtractFileExt(path) + ")");
  std::unique_ptr<TGraphic> graphic = it->second.Factory();
  graphic->LoadFromFile(path);  // a failure leaves the picture as it was
  Adopt(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& path) const {
  if (!graphic_) throw EInvalidGraphicOperation("No picture to save");
  graphic_->SaveToFile(path);
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace bellcut
