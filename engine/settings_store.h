#pragma once
// SettingsStore: the program's named settings, kept as text in one small file of lines
// "NAME=value" in the "\settings" folder (written with CR LF line ends; read with CR LF or LF).
// The whole file is loaded into memory, read as typed values, changed in memory and written
// back whole on Save().

#include <vector>

#include "engine/db_string.h"
#include "engine/db_value.h"
#include "platform/env.h"

namespace ledgerix {

class SettingsStore {
 public:
  // An empty, unbound store; the Env must outlive it.
  explicit SettingsStore(platform::Env& env);
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;
  // Does not save.
  ~SettingsStore();

  // Binds the store to "\settings\<name>.$$$" beside the program (creating the folder) and
  // loads it. Non-zero on success; on failure the store is unbound.
  [[nodiscard]] int Bind(const char* name);
  // The device path Bind loads for `name`: "\settings\<name>.$$$" beside the program.
  DbString PathFor(const char* name) const;
  // Loads the file at `path`, creating it empty when it is missing. Answers the length of the
  // stored path, 0 on failure (the store is then unbound and empty, and LoadFailure() tells
  // why). Loading takes time in proportion to the file's size.
  [[nodiscard]] int Load(const DbString& path);
  // Why the last Bind or Load failed: the failed call as the Env reported it. Empty (error 0)
  // after a load that succeeded.
  const platform::FailureDetail& LoadFailure() const { return load_failure_; }
  // Rewrites the whole file from the entries. The new content replaces the old in one step, so
  // a failure leaves the previous file whole. 1 on success, 0 when unbound or on failure.
  [[nodiscard]] int Save();
  // Adds `name` with the text form of `value` unless an entry of that name exists. 0 for a
  // null name or an unbound store, else 1 (an unbound store also fails Save, which tells).
  int DeclareDefault(const char* name, const DbValue& value);
  // The named setting converted to `type`: integers and booleans parsed as integers, floating
  // types as decimals, any other type a copy of the stored value. An Int32 0 for a null name or
  // an unbound store; an untyped value when no entry has that name.
  DbValue ReadSetting(const char* name, DbValueType type) const;
  // The named setting as a 32-bit whole number, read as ReadSetting reads Int32 ("12ab" is 12,
  // an empty value or one that is no number is 0), except that a number beyond 32 bits reads as
  // `fallback` rather than wrapping. `fallback` also when no entry has that name, for a null
  // name and for an unbound store.
  int32_t ReadInt32(const char* name, int32_t fallback) const;
  // Sets the named setting in memory (added at the end when new). 0 for a null name or an
  // unbound store, else 1 (an unbound store also fails Save, which tells). Nothing reaches the
  // file before Save().
  int WriteSetting(const char* name, const DbValue& value);

  bool IsBound() const { return path_.Length() > 0; }
  const DbString& Path() const { return path_; }

 private:
  struct SettingsEntry {
    DbString name;
    DbValue value;
  };

  SettingsEntry* Find(const char* name);
  const SettingsEntry* Find(const char* name) const;
  DbString FolderPath() const;
  // Records why loading failed and empties the store; 0.
  int FailLoad();
  void ParseContent(const DbString& content);
  DbString Serialize() const;

  platform::Env& env_;
  std::vector<SettingsEntry> entries_;
  DbString path_;
  platform::FailureDetail load_failure_;
};

}  // namespace ledgerix
