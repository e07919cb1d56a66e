#pragma once
// DirectoryLister: walks the files that match a pattern such as "data\*.txt" (taken from the
// program's folder), one name at a time; the archive list is built with it.

#include "engine/db_string.h"
#include "platform/env.h"

namespace ledgerix {

class DirectoryLister {
 public:
  // The Env must outlive the lister.
  explicit DirectoryLister(platform::Env& env);
  DirectoryLister(const DirectoryLister&) = delete;
  DirectoryLister& operator=(const DirectoryLister&) = delete;
  ~DirectoryLister();

  // Starts a search, ending any previous one. A pattern of two characters or fewer fails; a
  // pattern whose second character is not ":" is taken relative to the program's folder.
  // 1 and the first match's name in Name(), or 0 when nothing matches.
  int First(const DbString& pattern);
  // 1 and the next match's name, or 0 at the end (or when no search runs).
  int Next();
  // The current file name; empty when no search runs.
  const DbString& Name() const { return name_; }
  // The folder of the pattern, up to its last "\".
  const DbString& Directory() const { return directory_; }
  void Close();

 private:
  platform::Env& env_;
  platform::FindHandle search_ = platform::kInvalidFindHandle;
  DbString name_;
  DbString directory_;
};

}  // namespace ledgerix
