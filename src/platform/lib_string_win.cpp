#include <windows.h>
#include <oleauto.h>

#include <new>

#include "platform/lib_string.h"

namespace ashtint {

// On Windows the library uses the system's OLE strings.
wchar_t* AllocLibString(const wchar_t* text, std::uint32_t length) {
  BSTR s = ::SysAllocStringLen(text, static_cast<UINT>(length));
  if (!s) throw std::bad_alloc();
  return s;
}

void FreeLibString(wchar_t* text) { ::SysFreeString(text); }

}  // namespace ashtint
