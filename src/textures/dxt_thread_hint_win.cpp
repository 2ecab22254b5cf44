#include <windows.h>

#include "textures/dxt_mt.h"

namespace ashtint {

void SetThreadIdealProcessor(std::thread& thread, int processor) {
  ::SetThreadIdealProcessor(static_cast<HANDLE>(thread.native_handle()), DWORD(processor));
}

}  // namespace ashtint
