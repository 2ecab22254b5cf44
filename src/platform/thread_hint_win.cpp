#include <windows.h>

#if defined(__MINGW32__) && !defined(_MSC_VER)
#include <pthread.h>
#endif

#include "platform/thread_hint.h"

namespace ashtint {

void SetThreadIdealProcessor(std::thread& thread, int processor) {
  // std::thread's handle is a Windows HANDLE under MSVC, a winpthreads id under MinGW.
#if defined(_MSC_VER)
  const HANDLE handle = static_cast<HANDLE>(thread.native_handle());
#else
  const HANDLE handle = reinterpret_cast<HANDLE>(pthread_gethandle(thread.native_handle()));
#endif
  if (handle) ::SetThreadIdealProcessor(handle, DWORD(processor));
}

}  // namespace ashtint
