// T7zPlugin and T7zArchive: one load of the archive library and the handler class to create.
#pragma once

#include <string>

#include "platform/module_loader.h"
#include "archive/seven_zip_abi.h"

namespace ashtint {

// Refers to the library at a path and its CreateObject export. The library is loaded once per
// process and path, by the first object that needs it, and stays loaded until the process ends:
// loading and relocating it again for every package would cost more than reading many packages,
// and unloading it under another thread's archive object would be fatal.
class T7zPlugin {
 public:
  explicit T7zPlugin(const std::string& libraryPath);
  T7zPlugin(const T7zPlugin&) = delete;
  T7zPlugin& operator=(const T7zPlugin&) = delete;
  virtual ~T7zPlugin() = default;

  const std::string& LibraryPath() const { return libraryPath_; }

 protected:
  TModuleHandle Module() const { return module_; }
  // CreateObject of the library; raises only on a negative result.
  void CreateObject(const szabi::GUID& classId, const szabi::GUID& iid, void** out) const;

 private:
  std::string libraryPath_;
  TModuleHandle module_ = nullptr;
  szabi::CreateObjectFunc createObject_ = nullptr;
};

// Why the file cannot serve as the archive library: it lacks the platform's binary header (ELF,
// or PE on Windows), cannot be loaded, or has no CreateObject. Empty when it can. The check loads
// the file on its own (not the shared load) and unloads it again, so it may look at a download
// before it takes the library's name.
std::string SevenZipLibraryProblem(const std::string& path);

// Adds the format export and the class id of the handler (all zero until set).
class T7zArchive : public T7zPlugin {
 public:
  explicit T7zArchive(const std::string& libraryPath);

  void SetClassId(const szabi::GUID& classId) { classId_ = classId; }
  const szabi::GUID& ClassId() const { return classId_; }

 private:
  szabi::GetHandlerPropertyFunc getHandlerProperty_ = nullptr;
  szabi::GUID classId_{};
};

}  // namespace ashtint
