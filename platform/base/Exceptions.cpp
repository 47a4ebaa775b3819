#include "platform/base/Exceptions.h"

#include "platform/base/CodePage.h"

namespace bellcut {

EJPEG::EJPEG(int code)
    : EInvalidGraphic(FromUtf8("JPEG エラー #") + std::to_string(code)), code_(code) {}

EFCreateError FileCreateError(std::string_view path) {
  return EFCreateError(FromUtf8("ファイル ") + std::string(path) + FromUtf8(" を作成できません"));
}

}  // namespace bellcut
