#include <windows.h>

#include "textures/dxt_mt.h"

#if defined(__MINGW32__) && !defined(_MSC_VER)
#include <pthread.h>  // mingw-w64's std::thread runs on winpthreads
#endif

namespace ashtint {

void SetThreadIdealProcessor(std::thread& thread, int processor) {
#if defined(__MINGW32__) && !defined(_MSC_VER)
  const HANDLE handle = pthread_gethandle(thread.native_handle());
#else
  const HANDLE handle = static_cast<HANDLE>(thread.native_handle());
#endif
  ::SetThreadIdealProcessor(handle, DWORD(processor));
}

}  // namespace ashtint
