// Read-only access to a Windows registry: the system's own on Windows, or the registry files of
// a Wine or Proton prefix, where Linux players keep their Windows game clients.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "common/arrays.h"

namespace ashtint {

// LocalMachine holds what installers write for every user of the machine (HKEY_LOCAL_MACHINE).
enum class TRegistryRoot { CurrentUser, ClassesRoot, LocalMachine };

class TRegistryReader {
 public:
  virtual ~TRegistryReader() = default;
  // A string value; empty when the key or the value is missing. An empty name reads the default.
  virtual std::string ReadString(TRegistryRoot root, const std::string& key, const std::string& name) const = 0;
  // The names of a key's direct subkeys; empty when the key is missing.
  virtual TStrArray SubKeys(TRegistryRoot root, const std::string& key) const = 0;
};

// The registry of a Wine prefix, read from its text files: user.reg holds the current user's
// keys, system.reg the machine's (the classes root is the machine's Software\Classes with the
// user's own Software\Classes over it). Key names compare ignoring letter case.
class TWineRegistry final : public TRegistryReader {
 public:
  explicit TWineRegistry(const std::string& prefixFolder);
  // From the two files' texts, for tests.
  TWineRegistry(const std::string& userReg, const std::string& systemReg, bool fromText);

  std::string ReadString(TRegistryRoot root, const std::string& key, const std::string& name) const override;
  TStrArray SubKeys(TRegistryRoot root, const std::string& key) const override;

 private:
  // Lower-cased key path -> (lower-cased value name -> value); key paths use '\'.
  using TKeys = std::map<std::string, std::map<std::string, std::string>>;
  void Load(const std::string& text, TKeys& keys);
  const std::map<std::string, std::string>* Find(TRegistryRoot root, const std::string& key) const;
  const TKeys& Keys(TRegistryRoot root) const { return root == TRegistryRoot::CurrentUser ? user_ : machine_; }

  TKeys user_, machine_;
  std::map<std::string, std::string> spelling_;  // lower-cased key path -> as written
};

// The system's own registry (Windows), or none elsewhere.
std::unique_ptr<TRegistryReader> SystemRegistry();

}  // namespace ashtint
