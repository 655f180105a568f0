#pragma once
// What the deletion needs from the shell: moving one file or folder, with all
// its contents, to the Recycle Bin, and asking afterwards whether it is gone.

#include "base/failure.h"
#include "base/text.h"

namespace ostrevane {

class Recycler {
 public:
  virtual ~Recycler() = default;
  // Hands `full_path` to the shell for deletion with undo. Throws Failure, in
  // words, when no entry has exactly that name, when the shell reports a
  // failure, or when the operation was aborted.
  virtual void MoveToRecycleBin(const Text& full_path) = 0;
  // Whether a file or folder exists at `full_path`. Throws Failure when that
  // cannot be told, rather than answer either way.
  virtual bool Exists(const Text& full_path) = 0;
};

}  // namespace ostrevane
