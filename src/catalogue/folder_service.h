#pragma once
// What the Start Menu scan needs from the file system: the two roots by their
// shell special-folder ids, and the immediate subfolders and files of a folder.
// Every operation reports trouble by throwing Failure with the platform's words.

#include <functional>
#include <memory>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

// Shell special-folder ids of the two Start Menu Programs folders.
inline constexpr int kCsidlPrograms = 2;         // the current user's
inline constexpr int kCsidlCommonPrograms = 23;  // shared by all users

// The path of a shell special folder, without a trailing separator. Fails when
// the shell has no such folder or gives an empty path.
class RootLookup {
 public:
  virtual ~RootLookup() = default;
  virtual Text RootPath(int csidl) = 0;
};

class Folder {
 public:
  using NameVisitor = std::function<void(const Text& name)>;
  virtual ~Folder() = default;
  // Calls `visit` with the own name of each immediate subfolder, in the order
  // the file system gives, one at a time.
  virtual void ForEachSubfolder(const NameVisitor& visit) = 0;
  // The same for the immediate files.
  virtual void ForEachFile(const NameVisitor& visit) = 0;
};

class FolderService : public RootLookup {
 public:
  // Fails when `path` names no folder.
  virtual std::unique_ptr<Folder> OpenFolder(const Text& path) = 0;
};

}  // namespace ostrevane
