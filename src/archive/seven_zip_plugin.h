// T7zPlugin and T7zArchive: one load of the archive library and the handler class to create.
#pragma once

#include <string>

#include "archive/module_loader.h"
#include "archive/seven_zip_abi.h"

namespace ashtint {

// Holds one load of the library and its CreateObject export. Creating one loads the library,
// destroying one unloads it (the system counts the loads, so every archive object has its own).
class T7zPlugin {
 public:
  explicit T7zPlugin(const std::string& libraryPath);
  T7zPlugin(const T7zPlugin&) = delete;
  T7zPlugin& operator=(const T7zPlugin&) = delete;
  virtual ~T7zPlugin();

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
