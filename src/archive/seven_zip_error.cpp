#include "archive/seven_zip_error.h"

namespace ashtint {

void Check7z(std::int32_t code) {
  if (code != 0) throw E7zError(SysErrorMessage(code), code);
}

}  // namespace ashtint
