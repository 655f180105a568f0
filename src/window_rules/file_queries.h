#pragma once
// What start-up asks the file system. Failing queries throw Failure.

#include "base/text.h"

namespace ostrevane {

class FileQueries {
 public:
  virtual ~FileQueries() = default;
  // The folder of the running program, where the skin and cursor files lie.
  virtual Text ExecutableFolder() = 0;
  // Asks the file system for the path's last-modified time.
  virtual void QueryLastModified(const Text& path) = 0;
  // A directory search for `path` that matches only files with normal
  // attributes: no folder, nothing hidden or system.
  virtual bool FindNormalFile(const Text& path) = 0;
};

}  // namespace ostrevane
