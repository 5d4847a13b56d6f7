// Exceptions of the front end's model and readers.
//
// what() is the message with "." as decimal separator.  A message that holds
// numbers keeps its template and arguments, so that a window can show it with
// the user's decimal separator through Message(sep).
#pragma once

#include <exception>
#include <initializer_list>
#include <string>
#include <vector>

#include "frontend/model/Numbers.h"

namespace kirmel::fe {

class EKirmelError : public std::exception {
 public:
  // A message taken as it is (no template directives are interpreted).
  explicit EKirmelError(std::string message) : message_(std::move(message)) {}

  // A message built from a Format template and its arguments.
  EKirmelError(std::string tmpl, std::initializer_list<TFormatArg> args)
      : template_(std::move(tmpl)), args_(args), formatted_(true) {
    message_ = Format(template_, args_, '.');
  }

  const char* what() const noexcept override { return message_.c_str(); }

  // The message with numbers written with `decimalSeparator`.
  std::string Message(char decimalSeparator) const {
    return formatted_ ? Format(template_, args_, decimalSeparator) : message_;
  }

 private:
  std::string template_;
  std::vector<TFormatArg> args_;
  bool formatted_ = false;
  std::string message_;
};

// A value outside its allowed range; the value was not stored.
class EOutOfRange : public EKirmelError {
 public:
  using EKirmelError::EKirmelError;
};

// A list position outside the list.
class EIndexOutOfRange : public EKirmelError {
 public:
  EIndexOutOfRange() : EKirmelError(std::string("Index out of range")) {}
  using EKirmelError::EKirmelError;
};

// A text or number that cannot be taken as a value at all.
class EIllegalValue : public EKirmelError {
 public:
  using EKirmelError::EKirmelError;
};

}  // namespace kirmel::fe
