#include <windows.h>

#include "platform/registry.h"

namespace ashtint {

namespace {

HKEY OpenKey(TSystemRegistryRoot root, const std::string& key) {
  HKEY h = nullptr;
  const HKEY base = root == TSystemRegistryRoot::ClassesRoot    ? HKEY_CLASSES_ROOT
                    : root == TSystemRegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE
                                                                : HKEY_CURRENT_USER;
  if (RegOpenKeyExA(base, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return nullptr;
  return h;
}

}  // namespace

std::string SystemRegistryString(TSystemRegistryRoot root, const std::string& key, const std::string& name) {
  HKEY h = OpenKey(root, key);
  if (h == nullptr) return {};
  DWORD type = 0, size = 0;
  std::string value;
  if (RegQueryValueExA(h, name.empty() ? nullptr : name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
    value.resize(size);
    if (RegQueryValueExA(h, name.empty() ? nullptr : name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(value.data()), &size) == ERROR_SUCCESS) {
      value.resize(size);
      while (!value.empty() && value.back() == '\0') value.pop_back();
    } else {
      value.clear();
    }
  }
  RegCloseKey(h);
  return value;
}

TStrArray SystemRegistrySubKeys(TSystemRegistryRoot root, const std::string& key) {
  TStrArray names;
  HKEY h = OpenKey(root, key);
  if (h == nullptr) return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof name;
    if (RegEnumKeyExA(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, len);
  }
  RegCloseKey(h);
  return names;
}

}  // namespace ashtint
