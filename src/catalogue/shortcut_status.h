#pragma once
// Whether a shortcut points nowhere: the rule that turns what was read from a
// shortcut file into a status, over what it needs to ask the system.

#include <optional>

#include "base/text.h"
#include "catalogue/shortcut_file.h"

namespace ostrevane {

// Only kMissing calls a shortcut broken. A live shortcut called broken is the
// worst fault a cleaner can make, so whenever there is doubt the status is
// another one.
enum class ShortcutStatus { kOk, kMissing, kUnreachable, kUnknown };

// "ok", "missing", "unreachable", "unknown".
TextView StatusName(ShortcutStatus status);

class TargetProbe {
 public:
  virtual ~TargetProbe() = default;
  // `text` with every %NAME% replaced by the variable's value; nothing when a
  // name has no value.
  virtual std::optional<Text> ExpandEnvironment(const Text& text) = 0;
  enum class Volume { kFixed, kRemote, kRemovable, kAbsent, kOther };
  // The kind of volume at `root`: "C:\" or "\\server\share\".
  virtual Volume VolumeOf(const Text& root) = 0;
  enum class Presence { kPresent, kAbsent, kNoAnswer, kCannotTell };
  struct Answer {
    Presence presence;
    Text why;  // the system's words when it cannot tell
  };
  // Whether a file or folder is at `path`. Keeping to a time limit (about 2 s)
  // and answering kNoAnswer past it is the probe's business.
  virtual Answer Probe(const Text& path) = 0;
};

// The volume root of an absolute path: "C:\" or "\\server\share\", also from
// the "\\?\X:\" and "\\?\UNC\" forms; none for any other form (relative,
// "\foo", "X:foo", device paths).
std::optional<Text> VolumeRootOf(TextView path);

struct ShortcutTarget {
  ShortcutStatus status;
  Text target;  // the path judged, after expansion; empty when there was none
  Text reason;  // one short line for every status but kOk
};

// Judges the target of a shortcut file: an absolute path taken from, in this
// order, the expanded environment target, the local path, the network path or
// the path read from the item list. Only a target that is absent from a fixed
// drive whose root answers is missing; a network path, a removable or absent
// drive, a target that does not answer, and anything the rule cannot pin down
// to one absolute path are never missing.
ShortcutTarget JudgeShortcut(const ShortcutFile& file, TargetProbe& probe);

}  // namespace ostrevane
