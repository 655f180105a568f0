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

  // Windows Installer, asked only what it knows: never to install, repair or
  // provide anything.
  struct Advertised {
    Text product, feature, component;  // product and component as "{GUID}"
  };
  struct AdvertisedReading {
    std::optional<Advertised> advertised;
    Text why;  // when none: the descriptor does not decode, or the installer cannot be asked
  };
  // What the advertised shortcut file at `shortcut_path` stands for.
  virtual AdvertisedReading ReadAdvertised(const Text& shortcut_path) = 0;
  enum class Product { kInstalled, kNotInstalled, kOther };
  struct ProductAnswer {
    Product state;
    Text words;  // for kOther: what the installer answered, in words
  };
  // Whether `product` is installed: for the account whose security id is
  // `user_sid`, or, when that is empty, for the machine and the running account.
  virtual ProductAnswer QueryProduct(const Text& product, const Text& user_sid) = 0;
  // Where an installed component lies, to show as the target; empty when the
  // installer gives no path.
  virtual Text ComponentPath(const Text& product, const Text& component) = 0;
};

// The volume root of an absolute path: "C:\" or "\\server\share\", also from
// the "\\?\X:\" and "\\?\UNC\" forms; none for any other form (relative,
// "\foo", "X:foo", device paths).
std::optional<Text> VolumeRootOf(TextView path);

// Whether %NAME% can differ from one user to another. Only the machine's own
// variables (%SystemRoot%, %ProgramFiles%, ...) are the same for everyone;
// any other name may be set per user, so it counts as one.
bool IsPerUserVariable(TextView name);

// Where a shortcut lies. A target that names a per-user place means that
// place of the user whose folder holds the shortcut, so it is judged only in
// the running account's own folders.
struct ShortcutPlace {
  Text path{};              // the shortcut file, which Windows Installer reads
  bool own_profile = true;  // in a folder of the running account's own profile
  Text user_sid{};          // another user's folder: the installer is asked for that user
};

struct ShortcutTarget {
  ShortcutStatus status;
  Text target;  // the path judged, after expansion; empty when there was none
  // One short line for every status but kOk; for kOk only when part of the
  // shortcut did not read.
  Text reason;
};

// Judges the target of a shortcut file: an absolute path taken from, in this
// order, the expanded environment target, the local path, the network path or
// the path read from the item list. Only a target that is absent from a fixed
// drive whose root answers is missing; a network path, a removable or absent
// drive, a target that does not answer, and anything the rule cannot pin down
// to one absolute path are never missing. An advertised shortcut is missing
// only when Windows Installer says its product is not installed.
ShortcutTarget JudgeShortcut(const ShortcutFile& file, const ShortcutPlace& place,
                             TargetProbe& probe);

}  // namespace ostrevane
