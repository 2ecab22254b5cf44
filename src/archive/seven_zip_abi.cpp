#include "archive/seven_zip_abi.h"

#include <cstring>

namespace ashtint::szabi {

namespace {
// The library's interface ids share one pattern: only a group byte and a sub byte differ.
constexpr GUID LibIid(std::uint8_t group, std::uint8_t sub) {
  return GUID{0x23170F69u, 0x40C1u, 0x278Au, {0x00, 0x00, 0x00, group, 0x00, sub, 0x00, 0x00}};
}
}  // namespace

bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

const GUID IID_IUnknown = {0x00000000u, 0x0000u, 0x0000u, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID IID_IProgress = LibIid(0x00, 0x05);
const GUID IID_ISequentialInStream = LibIid(0x03, 0x01);
const GUID IID_ISequentialOutStream = LibIid(0x03, 0x02);
const GUID IID_IInStream = LibIid(0x03, 0x03);
const GUID IID_IOutStream = LibIid(0x03, 0x04);
const GUID IID_IStreamGetSize = LibIid(0x03, 0x06);
const GUID IID_ICryptoGetTextPassword2 = LibIid(0x05, 0x11);
const GUID IID_ISetProperties = LibIid(0x06, 0x03);
const GUID IID_IArchiveOpenCallback = LibIid(0x06, 0x10);
const GUID IID_IArchiveExtractCallback = LibIid(0x06, 0x20);
const GUID IID_IInArchive = LibIid(0x06, 0x60);
const GUID IID_IArchiveUpdateCallback = LibIid(0x06, 0x80);
const GUID IID_IOutArchive = LibIid(0x06, 0xA0);

const GUID CLSID_CFormatZip = {0x23170F69u, 0x40C1u, 0x278Au, {0x10, 0x00, 0x00, 0x01, 0x10, 0x01, 0x00, 0x00}};

void ClearPropVariant(PROPVARIANT& value) {
  if (value.vt == VT_BSTR) FreeLibString(value.bstrVal);
  value = EmptyPropVariant();
}

}  // namespace ashtint::szabi
