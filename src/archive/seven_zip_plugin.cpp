#include "archive/seven_zip_plugin.h"

#include "archive/seven_zip_error.h"

namespace ashtint {

using namespace szabi;

namespace {
// Since version 23 the library's objects start with the three IUnknown slots and nothing else.
// Older Linux builds (p7zip 16.02) put two destructor slots after Release, which would send every
// call to the wrong method, so such a library is refused before any object is created.
void CheckInterfaceLayout(TModuleHandle module, const std::string& path) {
#ifdef _WIN32
  (void)module;
  (void)path;
#else
  auto getModuleProp = reinterpret_cast<GetModulePropFunc>(ModuleSymbol(module, "GetModuleProp"));
  const std::string refusal = path + " is not a compatible 7z library: ";
  if (!getModuleProp) throw E7zError(refusal + "it is older than 7-Zip 23 (no GetModuleProp)");
  PROPVARIANT type = EmptyPropVariant();
  const HRESULT hr = getModuleProp(kModPropInterfaceType, &type);
  const bool plainLayout = hr == kOk && (type.vt == VT_UI4 || type.vt == VT_EMPTY) && type.ulVal == 0;
  ClearPropVariant(type);
  if (!plainLayout) throw E7zError(refusal + "its objects have a virtual destructor");
#endif
}
}  // namespace

T7zPlugin::T7zPlugin(const std::string& libraryPath) : libraryPath_(libraryPath) {
  module_ = LoadModule(libraryPath);
  if (!module_) throw E7zError("Error loading library " + libraryPath);
  createObject_ = reinterpret_cast<CreateObjectFunc>(ModuleSymbol(module_, "CreateObject"));
  if (!createObject_) {
    UnloadModule(module_);
    throw E7zError(libraryPath + " is not a 7z library");
  }
}

T7zPlugin::~T7zPlugin() { UnloadModule(module_); }

void T7zPlugin::CreateObject(const GUID& classId, const GUID& iid, void** out) const {
  *out = nullptr;
  const HRESULT hr = createObject_(&classId, &iid, out);
  if (hr < 0) {
    *out = nullptr;
    throw E7zError(SysErrorMessage(hr), hr);
  }
  if (!*out) throw E7zError(SysErrorMessage(kFail), kFail);
}

T7zArchive::T7zArchive(const std::string& libraryPath) : T7zPlugin(libraryPath) {
  getHandlerProperty_ = reinterpret_cast<GetHandlerPropertyFunc>(ModuleSymbol(Module(), "GetHandlerProperty"));
  if (!getHandlerProperty_) throw E7zError(libraryPath + " is not a Format library");
  CheckInterfaceLayout(Module(), libraryPath);
}

}  // namespace ashtint
