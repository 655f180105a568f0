#pragma once
// What the deletion needs from the shell: moving one file or folder, with all
// its contents, to the Recycle Bin, and asking about the entry before and
// after.

#include <optional>

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

// An entry that is not plainly a file or folder of its own folder: the shell
// could act on something other than the entry itself.
struct EntryLink {
  enum class Kind {
    kLink,        // a symbolic link, junction or other reparse point
    kMountPoint,  // another volume is mounted at the entry
  };
  Kind kind = Kind::kLink;
  Text target;  // where a link leads; empty when that cannot be told
};

class Recycler {
 public:
  virtual ~Recycler() = default;
  // Hands `full_path` to the shell for deletion with undo. Throws Failure, in
  // words, when no entry has exactly that name, when the shell reports a
  // failure, or when the operation was aborted.
  virtual void MoveToRecycleBin(const Text& full_path) = 0;
  // Whether an entry named exactly as the last part of `full_path` (compared
  // code unit by code unit, letter case included) is in its folder. An entry
  // that the file system would only find by ignoring case, or by a short
  // name, does not count. Throws Failure when that cannot be told, rather
  // than answer either way.
  virtual bool Exists(const Text& full_path) = 0;
  // Whether the entry named exactly by `full_path` is a link or a mount point,
  // without following it. No entry of exactly that name gives no answer; the
  // move refuses it. Throws Failure when that cannot be told.
  virtual std::optional<EntryLink> LinkAt(const Text& full_path) = 0;
};

}  // namespace ostrevane
