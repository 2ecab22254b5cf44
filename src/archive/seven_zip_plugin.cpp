#include "archive/seven_zip_plugin.h"

#include <filesystem>
#include <map>
#include <mutex>

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

namespace {

struct TSharedLibrary {
  TModuleHandle module = nullptr;
  CreateObjectFunc createObject = nullptr;
};

// Loads the library at path on its first use in the process; later calls, from any thread,
// get the same load. A path that fails is not remembered, so each try reports it again.
TSharedLibrary SharedLibrary(const std::string& path) {
  static std::mutex mutex;
  static std::map<std::string, TSharedLibrary> loaded;
  std::lock_guard lock(mutex);
  if (const auto it = loaded.find(path); it != loaded.end()) return it->second;
  TSharedLibrary library;
  library.module = LoadModule(path);
  if (!library.module) throw E7zError("Error loading library " + path);
  library.createObject = reinterpret_cast<CreateObjectFunc>(ModuleSymbol(library.module, "CreateObject"));
  if (!library.createObject) {
    UnloadModule(library.module);
    throw E7zError(path + " is not a 7z library");
  }
  loaded.emplace(path, library);
  return library;
}

}  // namespace

T7zPlugin::T7zPlugin(const std::string& libraryPath) : libraryPath_(libraryPath) {
  const TSharedLibrary library = SharedLibrary(libraryPath);
  module_ = library.module;
  createObject_ = library.createObject;
}

std::string SevenZipLibraryProblem(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return "it is not a file";
  if (std::filesystem::file_size(path, ec) == 0 || ec) return "it is empty";
  if (std::string problem = ModuleFileProblem(path); !problem.empty()) return problem;
  const TModuleHandle module = LoadModule(path);
  if (!module) return "it cannot be loaded: " + LastModuleError();
  const bool hasCreateObject = ModuleSymbol(module, "CreateObject") != nullptr;
  UnloadModule(module);
  return hasCreateObject ? std::string() : std::string("it has no CreateObject (not a 7z library)");
}

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
