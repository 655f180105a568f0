#pragma once
// Real folders for the Windows tests: a fresh folder under the temp folder,
// removed with everything in it when the test ends.

#include <windows.h>

#include <string_view>
#include <vector>

#include "base/text.h"

namespace ostrevane::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const Text& path() const { return path_; }
  // Paths below are relative to this folder; parents must exist.
  Text MakeFolder(const Text& relative) const;
  Text MakeFile(const Text& relative, std::string_view contents = "x") const;

 private:
  Text path_;
};

bool PathExists(const Text& path);
// The names in a folder, sorted.
std::vector<Text> NamesIn(const Text& folder);
// Deletes a file or a folder tree for good; quiet when it is not there.
void RemoveTree(const Text& path);

}  // namespace ostrevane::testing
