// The platform's exception classes. Every failure the component library and
// the graphics layer report is one of these; texts are in the process's ANSI
// code page (see CodePage.h), as the platform shows them.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace bellcut {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  [[nodiscard]] const char* what() const noexcept override { return message_.c_str(); }
  [[nodiscard]] const std::string& Message() const noexcept { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }

 private:
  std::string message_;
};

// Declares an exception class that adds nothing but its type.
#define BELLCUT_EXCEPTION(Name, Base)           \
  class Name : public Base {                     \
   public:                                       \
    using Base::Base;                            \
  }

BELLCUT_EXCEPTION(EConvertError, Exception);      // text/number conversions, failed Assign
BELLCUT_EXCEPTION(EInOutError, Exception);        // file system failures other than creation
BELLCUT_EXCEPTION(EStreamError, Exception);       // stream read/write failures
BELLCUT_EXCEPTION(EFCreateError, EStreamError);   // a file could not be created
BELLCUT_EXCEPTION(EFOpenError, EStreamError);     // a file could not be opened
BELLCUT_EXCEPTION(EReadError, EStreamError);      // short or malformed reads (form resources too)
BELLCUT_EXCEPTION(EWriteError, EStreamError);
BELLCUT_EXCEPTION(EInvalidGraphic, Exception);    // a picture that cannot be decoded
BELLCUT_EXCEPTION(EInvalidGraphicOperation, Exception);
BELLCUT_EXCEPTION(EOutOfResources, Exception);    // a handle or a surface could not be made
BELLCUT_EXCEPTION(EInvalidOperation, Exception);  // an operation the object's state forbids
BELLCUT_EXCEPTION(EListError, Exception);
BELLCUT_EXCEPTION(EComponentError, Exception);
BELLCUT_EXCEPTION(EClassNotFound, EReadError);

// libjpeg's failures: "JPEG エラー #%d" with libjpeg's message code.
class EJPEG : public EInvalidGraphic {
 public:
  explicit EJPEG(int code);
  [[nodiscard]] int Code() const noexcept { return code_; }

 private:
  int code_;
};

// "ファイル %s を作成できません" with the path.
[[nodiscard]] EFCreateError FileCreateError(std::string_view path);

}  // namespace bellcut
