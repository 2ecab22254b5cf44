#include <windows.h>

#include "common/text.h"
#include "platform/registry.h"

namespace ashtint {

namespace {

constexpr const char* kView32 = "Software\\Wow6432Node\\";

HKEY OpenKey(TSystemRegistryRoot root, const std::string& key) {
  HKEY base = HKEY_CURRENT_USER;
  REGSAM access = KEY_READ;
  std::string path = key;
  if (root == TSystemRegistryRoot::ClassesRoot) {
    base = HKEY_CLASSES_ROOT;
  } else if (root == TSystemRegistryRoot::LocalMachine) {
    base = HKEY_LOCAL_MACHINE;
    // The 32-bit view through its own flag, as Windows documents it, rather than the redirected
    // folder's name; the same keys, whatever the program's own bitness.
    if (StartsText(kView32, key)) {
      path = "Software\\" + key.substr(std::string(kView32).size());
      access |= KEY_WOW64_32KEY;
    } else {
      access |= KEY_WOW64_64KEY;
    }
  }
  HKEY h = nullptr;
  if (RegOpenKeyExA(base, path.c_str(), 0, access, &h) != ERROR_SUCCESS) return nullptr;
  return h;
}

}  // namespace

std::string SystemRegistryString(TSystemRegistryRoot root, const std::string& key, const std::string& name) {
  HKEY h = OpenKey(root, key);
  if (h == nullptr) return {};
  DWORD type = 0, size = 0;
  std::string value;
  const char* valueName = name.empty() ? nullptr : name.c_str();
  if (RegQueryValueExA(h, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
    value.resize(size);
    if (RegQueryValueExA(h, valueName, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) ==
        ERROR_SUCCESS) {
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
  char name[256];  // a key name has at most 255 characters
  for (DWORD i = 0;; ++i) {
    DWORD len = sizeof name;
    if (RegEnumKeyExA(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, len);
  }
  RegCloseKey(h);
  return names;
}

}  // namespace ashtint
