// Errors of the archive layer.
#pragma once

#include <cstdint>
#include <string>

#include "common/exceptions.h"
#include "platform/sys_error_message.h"

namespace ashtint {

// A failed call into the archive library or a damaged archive. Code holds the library's result
// code when the error comes from one (0 otherwise).
class E7zError : public Exception {
 public:
  explicit E7zError(const std::string& message, std::int32_t code = 0) : Exception(message), code_(code) {}
  const char* ClassName() const noexcept override { return "E7zError"; }
  std::int32_t Code() const noexcept { return code_; }

 private:
  std::int32_t code_;
};

// Raises E7zError with the system's text when a library call did not answer 0.
void Check7z(std::int32_t code);

}  // namespace ashtint
