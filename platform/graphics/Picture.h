// TPicture: holds one graphic of any kind (bitmap, JPEG, ...) and loads it
// from a file chosen by the file's extension.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/base/Classes.h"
#include "platform/graphics/Graphic.h"

namespace bellcut {

class TBitmap;

class TPicture : public TPersistent {
 public:
  BELLCUT_CLASS_NAME(TPicture)
  using GraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

  TPicture();
  ~TPicture() override;

  // Copies a TPicture's graphic, a graphic itself, or nothing (null clears).
  void Assign(const TPersistent* Source) override;

  // The graphic held, or null.
  [[nodiscard]] TGraphic* Graphic() const { return graphic_.get(); }
  // Holds a copy of value (a graphic of the same class, assigned); null clears.
  void SetGraphic(const TGraphic* value);
  // The graphic as a bitmap; a bitmap replaces any other graphic first.
  [[nodiscard]] TBitmap& Bitmap();

  [[nodiscard]] int Width() const;
  [[nodiscard]] int Height() const;

  // Chooses the graphic class by the file's extension, any letter case.
  // Raises EInvalidGraphic "Unknown picture file extension (.xyz)" for one
  // nobody registered; a failed load leaves the picture as it was.
  void LoadFromFile(const std::string& path);
  // Saves the graphic held (nothing to save raises EInvalidGraphicOperation).
  void SaveToFile(const std::string& path) const;

  // Registers a graphic class for an extension (with or without the dot, any
  // case). The standard formats (.bmp; .jpg and .jpeg) are registered by
  // RegisterStandardFormats on first use.
  static void RegisterFileFormat(const std::string& extension, const std::string& description, GraphicFactory factory);
  static void RegisterStandardFormats();

  TNotifyEvent OnChange;

 protected:
  void AssignTo(TPersistent* Dest) const override;
  virtual void Changed();

 private:
  void Adopt(std::unique_ptr<TGraphic> graphic);
  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace bellcut
