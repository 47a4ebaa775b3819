// TGraphic: the abstract picture (bitmap, JPEG, ...) that TPicture holds and
// a canvas draws.
#pragma once

#include <string>

#include "platform/base/Classes.h"
#include "platform/base/Streams.h"
#include "platform/gdi/Types.h"

namespace bellcut {

class TCanvas;

class TGraphic : public TPersistent {
 public:
  BELLCUT_CLASS_NAME(TGraphic)
  [[nodiscard]] virtual int Width() const = 0;
  [[nodiscard]] virtual int Height() const = 0;
  [[nodiscard]] virtual bool Empty() const = 0;
  virtual void SetWidth(int value) = 0;
  virtual void SetHeight(int value) = 0;
  [[nodiscard]] virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);

  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) const = 0;
  // Reads the whole file, then decodes it (EFOpenError when it cannot be read).
  virtual void LoadFromFile(const std::string& path);
  // Encodes to memory, then writes through WriteFileReplacing, so a failure
  // never leaves a partial file where a good one stood.
  virtual void SaveToFile(const std::string& path) const;

  // Draws the picture into rect of the canvas, scaled when the sizes differ.
  // Only the part of rect the canvas can show needs to be produced.
  virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;

  TNotifyEvent OnChange;

 protected:
  // Fires OnChange with this graphic as sender.
  virtual void Changed();

 private:
  bool transparent_ = false;
};

}  // namespace bellcut
