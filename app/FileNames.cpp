#include "app/FileNames.h"

#include <array>

#include "platform/base/CodePage.h"
#include "platform/base/Params.h"

namespace bellcut {

std::string OutputPrefix() { return FromUtf8("タルネモ ～ "); }
std::string HintText() { return FromUtf8("アイコン（実行ファイル）上に画像ファイルをドロップしてください。"); }
std::string QuestionText() { return FromUtf8("インフォメーションを参照しますか？"); }
std::string ApplicationTitle() { return FromUtf8("ヨルヴァネ"); }

std::string JoinParameters() {
  std::string joined;
  for (int i = 1; i <= ParamCount(); ++i) {
    joined += ParamStr(i);
    joined += ' ';
  }
  return joined;
}

bool IsAcceptedExtension(std::string_view FileExt) {
  // The trailing blank is part of each text because the extension carries it.
  static constexpr std::array<std::string_view, 3> accepted = {".BMP ", ".JPG ", ".JPEG "};
  for (std::string_view ext : accepted)
    if (AnsiCompareText(ext, FileExt) == 0) return true;
  return false;
}

std::string OutputFileName(std::string_view FileName, PathConvention Convention) {
  const std::string renamed = ChangeFileExt(FileName, ".jpg", Convention);
  return ExtractFilePath(FileName, Convention) + OutputPrefix() + ExtractFileName(renamed, Convention);
}

std::string InfoPageAddress(std::string_view ProgramFile, PathConvention Convention) {
  const std::string name = ChangeFileExt(ExtractFileName(ProgramFile, Convention), "", Convention);
  return std::string(kInfoPageBase) + name;
}

std::string ReportText(int Width, int Height) {
  return IntToStr(Width) + " x " + IntToStr(Height) + FromUtf8(" のタルネモ形式で保存しました。");
}

}  // namespace bellcut
