// Our own declarations of the archive library's binary interface: COM-style objects whose
// vtables start with QueryInterface, AddRef and Release (no virtual destructor), GUIDs,
// property values and the library's wide strings.
#pragma once

#include <cstdint>

#include "platform/lib_string.h"

namespace ashtint::szabi {

#if defined(_WIN32) && !defined(_WIN64)
#define ASHTINT_SZ_CALL __stdcall
#else
#define ASHTINT_SZ_CALL
#endif

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using PROPID = std::uint32_t;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using BSTR = wchar_t*;

// Result codes (named apart from the Windows macros of the same values).
inline constexpr HRESULT kOk = 0;
inline constexpr HRESULT kFalse = 1;
inline constexpr HRESULT kNotImpl = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT kNoInterface = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT kPointer = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT kAbort = static_cast<HRESULT>(0x80004004u);
inline constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT kNegativeSeek = static_cast<HRESULT>(0x80070083u);
inline constexpr HRESULT kClassNotAvailable = static_cast<HRESULT>(0x80040111u);

inline constexpr VARIANT_BOOL kVariantTrue = -1;
inline constexpr VARIANT_BOOL kVariantFalse = 0;

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);
bool operator==(const GUID& a, const GUID& b);

struct FILETIME {
  std::uint32_t dwLowDateTime;
  std::uint32_t dwHighDateTime;
};

enum : VARTYPE {
  VT_EMPTY = 0, VT_I4 = 3, VT_BSTR = 8, VT_BOOL = 11, VT_UI1 = 17, VT_UI2 = 18, VT_UI4 = 19,
  VT_I8 = 20, VT_UI8 = 21, VT_FILETIME = 64,
};

struct PROPVARIANT {
  VARTYPE vt;
  std::uint16_t wReserved1;
  std::uint16_t wReserved2;
  std::uint16_t wReserved3;
  union {
    std::int8_t cVal;
    std::uint8_t bVal;
    std::int16_t iVal;
    std::uint16_t uiVal;
    std::int32_t lVal;
    std::uint32_t ulVal;
    std::int64_t hVal;
    std::uint64_t uhVal;
    VARIANT_BOOL boolVal;
    FILETIME filetime;
    BSTR bstrVal;
#ifdef _WIN64
    struct {
      std::uint32_t cbSize;
      std::uint8_t* pBlobData;
    } blob;  // only there to give the system's 24-byte size on 64-bit Windows
#endif
  };
};
#ifdef _WIN64
static_assert(sizeof(PROPVARIANT) == 24);
#else
static_assert(sizeof(PROPVARIANT) == 16 || sizeof(void*) == 4);
#endif

// Property ids of items and archives.
enum : PROPID {
  kpidPath = 3, kpidName = 4, kpidIsDir = 6, kpidSize = 7, kpidPackSize = 8, kpidAttrib = 9,
  kpidCTime = 10, kpidATime = 11, kpidMTime = 12, kpidEncrypted = 15, kpidCRC = 19, kpidIsAnti = 21,
  kpidMethod = 22, kpidComment = 28, kpidPhySize = 44, kpidErrorFlags = 71, kpidWarningFlags = 72,
};

// Module properties reported by GetModuleProp.
enum : PROPID { kModPropInterfaceType = 0, kModPropVersion = 1 };

// Ask modes of extraction and operation results.
enum : std::int32_t { kAskExtract = 0, kAskTest = 1, kAskSkip = 2 };
enum : std::int32_t {
  kOpOK = 0, kOpUnsupportedMethod = 1, kOpDataError = 2, kOpCRCError = 3, kOpUnavailable = 4,
  kOpUnexpectedEnd = 5, kOpDataAfterEnd = 6, kOpIsNotArc = 7, kOpHeadersError = 8, kOpWrongPassword = 9,
};

extern const GUID IID_IUnknown;
extern const GUID IID_IProgress;
extern const GUID IID_ISequentialInStream;
extern const GUID IID_ISequentialOutStream;
extern const GUID IID_IInStream;
extern const GUID IID_IOutStream;
extern const GUID IID_IStreamGetSize;
extern const GUID IID_ICryptoGetTextPassword2;
extern const GUID IID_ISetProperties;
extern const GUID IID_IArchiveOpenCallback;
extern const GUID IID_IArchiveExtractCallback;
extern const GUID IID_IInArchive;
extern const GUID IID_IArchiveUpdateCallback;
extern const GUID IID_IOutArchive;

// The zip handler's class id.
extern const GUID CLSID_CFormatZip;

// The interfaces. Destructors are protected and non-virtual so that no slot is added; objects are
// freed only through Release.
struct IUnknown {
  virtual HRESULT ASHTINT_SZ_CALL QueryInterface(const GUID& iid, void** out) noexcept = 0;
  virtual ULONG ASHTINT_SZ_CALL AddRef() noexcept = 0;
  virtual ULONG ASHTINT_SZ_CALL Release() noexcept = 0;

 protected:
  ~IUnknown() = default;
};

struct ISequentialInStream : IUnknown {
  virtual HRESULT ASHTINT_SZ_CALL Read(void* data, std::uint32_t size, std::uint32_t* processed) noexcept = 0;

 protected:
  ~ISequentialInStream() = default;
};

struct ISequentialOutStream : IUnknown {
  virtual HRESULT ASHTINT_SZ_CALL Write(const void* data, std::uint32_t size, std::uint32_t* processed) noexcept = 0;

 protected:
  ~ISequentialOutStream() = default;
};

struct IInStream : ISequentialInStream {
  virtual HRESULT ASHTINT_SZ_CALL Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) noexcept = 0;

 protected:
  ~IInStream() = default;
};

struct IOutStream : ISequentialOutStream {
  virtual HRESULT ASHTINT_SZ_CALL Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL SetSize(std::uint64_t newSize) noexcept = 0;

 protected:
  ~IOutStream() = default;
};

struct IStreamGetSize : IUnknown {
  virtual HRESULT ASHTINT_SZ_CALL GetSize(std::uint64_t* size) noexcept = 0;

 protected:
  ~IStreamGetSize() = default;
};

struct IProgress : IUnknown {
  virtual HRESULT ASHTINT_SZ_CALL SetTotal(std::uint64_t total) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL SetCompleted(const std::uint64_t* completed) noexcept = 0;

 protected:
  ~IProgress() = default;
};

struct IArchiveOpenCallback : IUnknown {
  virtual HRESULT ASHTINT_SZ_CALL SetTotal(const std::uint64_t* files, const std::uint64_t* bytes) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL SetCompleted(const std::uint64_t* files, const std::uint64_t* bytes) noexcept = 0;

 protected:
  ~IArchiveOpenCallback() = default;
};

struct IArchiveExtractCallback : IProgress {
  virtual HRESULT ASHTINT_SZ_CALL GetStream(std::uint32_t index, ISequentialOutStream** out, std::int32_t askMode) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL PrepareOperation(std::int32_t askMode) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL SetOperationResult(std::int32_t opResult) noexcept = 0;

 protected:
  ~IArchiveExtractCallback() = default;
};

struct IArchiveUpdateCallback : IProgress {
  virtual HRESULT ASHTINT_SZ_CALL GetUpdateItemInfo(std::uint32_t index, std::int32_t* newData, std::int32_t* newProps,
                                                    std::uint32_t* indexInArchive) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL GetStream(std::uint32_t index, ISequentialInStream** in) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL SetOperationResult(std::int32_t result) noexcept = 0;

 protected:
  ~IArchiveUpdateCallback() = default;
};

struct ICryptoGetTextPassword2 : IUnknown {
  virtual HRESULT ASHTINT_SZ_CALL CryptoGetTextPassword2(std::int32_t* passwordIsDefined, BSTR* password) noexcept = 0;

 protected:
  ~ICryptoGetTextPassword2() = default;
};

struct IInArchive : IUnknown {
  virtual HRESULT ASHTINT_SZ_CALL Open(IInStream* stream, const std::uint64_t* maxCheckStartPosition,
                                       IArchiveOpenCallback* callback) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL Close() noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL GetNumberOfItems(std::uint32_t* count) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL GetProperty(std::uint32_t index, PROPID propId, PROPVARIANT* value) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL Extract(const std::uint32_t* indices, std::uint32_t count, std::int32_t testMode,
                                          IArchiveExtractCallback* callback) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL GetArchiveProperty(PROPID propId, PROPVARIANT* value) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL GetNumberOfProperties(std::uint32_t* count) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL GetPropertyInfo(std::uint32_t index, BSTR* name, PROPID* propId, VARTYPE* vt) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL GetNumberOfArchiveProperties(std::uint32_t* count) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL GetArchivePropertyInfo(std::uint32_t index, BSTR* name, PROPID* propId,
                                                         VARTYPE* vt) noexcept = 0;

 protected:
  ~IInArchive() = default;
};

struct IOutArchive : IUnknown {
  virtual HRESULT ASHTINT_SZ_CALL UpdateItems(ISequentialOutStream* out, std::uint32_t count,
                                              IArchiveUpdateCallback* callback) noexcept = 0;
  virtual HRESULT ASHTINT_SZ_CALL GetFileTimeType(std::uint32_t* type) noexcept = 0;

 protected:
  ~IOutArchive() = default;
};

struct ISetProperties : IUnknown {
  virtual HRESULT ASHTINT_SZ_CALL SetProperties(const wchar_t* const* names, const PROPVARIANT* values,
                                                std::uint32_t count) noexcept = 0;

 protected:
  ~ISetProperties() = default;
};

// Exported functions of the library.
using CreateObjectFunc = HRESULT(ASHTINT_SZ_CALL*)(const GUID* classId, const GUID* iid, void** out);
using GetHandlerPropertyFunc = HRESULT(ASHTINT_SZ_CALL*)(PROPID propId, PROPVARIANT* value);
using GetModulePropFunc = HRESULT(ASHTINT_SZ_CALL*)(PROPID propId, PROPVARIANT* value);

// The library's wide strings: allocated the way the library frees them and the other way round.
using ashtint::AllocLibString;
using ashtint::FreeLibString;
// Frees what a property value holds and leaves it VT_EMPTY.
void ClearPropVariant(PROPVARIANT& value);
// An empty value, ready to receive an output from the library.
inline PROPVARIANT EmptyPropVariant() {
  PROPVARIANT v{};
  v.vt = VT_EMPTY;
  return v;
}

}  // namespace ashtint::szabi
