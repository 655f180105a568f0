#pragma once
// What the Start Menu scan needs from the file system: the two roots by their
// shell special-folder ids, and the immediate subfolders and files of a folder.
// Every operation reports trouble by throwing Failure with the platform's words.

#include <functional>
#include <memory>
#include <optional>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

// Shell special-folder ids of the two Start Menu Programs folders, and of
// the Startup folders that Windows keeps in them.
inline constexpr int kCsidlPrograms = 2;         // the current user's
inline constexpr int kCsidlCommonPrograms = 23;  // shared by all users
inline constexpr int kCsidlStartup = 7;
inline constexpr int kCsidlCommonStartup = 24;

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
  // The same for the immediate entries, folders or files, that are links,
  // junctions or mount points: what they hold lies elsewhere. They are among
  // the subfolders and files too.
  virtual void ForEachLink(const NameVisitor& visit) = 0;
  // Whether the folder opened is itself such a link rather than a folder of
  // its own.
  virtual bool IsLink() const = 0;
};

class FolderService : public RootLookup {
 public:
  // Fails when `path` names no folder.
  virtual std::unique_ptr<Folder> OpenFolder(const Text& path) = 0;
  // A text that two paths share exactly when they name the same file or
  // folder, whatever their spelling (letter case, short names, a link on the
  // way); none when the entry cannot be opened.
  virtual std::optional<Text> Identity(const Text& path) = 0;
};

}  // namespace ostrevane
