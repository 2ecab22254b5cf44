#include <windows.h>
#include <oleauto.h>

#include <new>

#include "archive/seven_zip_abi.h"

namespace ashtint::szabi {

// On Windows the library uses the system's OLE strings.
BSTR AllocLibString(const wchar_t* text, std::uint32_t length) {
  BSTR s = ::SysAllocStringLen(text, static_cast<UINT>(length));
  if (!s) throw std::bad_alloc();
  return s;
}

void FreeLibString(BSTR text) { ::SysFreeString(text); }

}  // namespace ashtint::szabi
