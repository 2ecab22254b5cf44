// The project's exception classes. Error reports show "ClassName: message", so every class
// names itself instead of relying on a compiler-specific typeid name.
#pragma once

#include <stdexcept>
#include <string>

namespace ashtint {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  virtual const char* ClassName() const noexcept { return "Exception"; }
};

// A value outside its allowed range (an index, a size, a count).
class ERangeError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "ERangeError"; }
};

// A file or stream operation failed.
class EInOutError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EInOutError"; }
};

// The class name of any exception, our own or the standard library's.
std::string ExceptionClassName(const std::exception& e);
// "ClassName: message" for any exception, our own or the standard library's.
std::string DescribeException(const std::exception& e);

}  // namespace ashtint
