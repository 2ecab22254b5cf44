#include "net/internet.h"
#include "net/internet_errors.h"
#include "platform/utf8_text.h"

namespace ashtint {

void DownloadText(const RIRequest& request, RIStringResult& result) noexcept {
  DownloadString(request, result);
  if (result.Error || result.Empty) return;
  try {
    result.Body = Utf8ToSingleByte(result.Body);
    result.Empty = result.Body.empty();
  } catch (...) {
    result.Error = true;
    result.Code = ErrException;
    result.Body.clear();
    result.Empty = true;
  }
}

}  // namespace ashtint
