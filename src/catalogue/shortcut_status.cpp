#include "catalogue/shortcut_status.h"

#include <algorithm>
#include <vector>

#include "base/failure.h"
#include "catalogue/file_names.h"

namespace ostrevane {
namespace {

using Presence = TargetProbe::Presence;
using Volume = TargetProbe::Volume;

bool BeyondAscii(TextView text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0x7F; });
}

struct AbsolutePath {
  Text root;       // "C:\" or "\\server\share\"
  bool network;    // a UNC path
  TextView names;  // what follows the drive's colon or the UNC prefix
};

// The forms that name one place on one volume: X:\..., \\server\share...,
// \\?\X:\... and \\?\UNC\server\share.... A relative path, a path from the
// current drive's root ("\foo"), one relative to a drive's current folder
// ("X:foo") and device paths ("\\.\...") name different places from different
// processes, so they are not judged.
std::optional<AbsolutePath> ParseAbsolute(TextView path) {
  bool network = false;
  if (path.starts_with(u"\\\\?\\UNC\\")) {
    path.remove_prefix(8);
    network = true;
  } else if (path.starts_with(u"\\\\?\\")) {
    path.remove_prefix(4);
  } else if (path.starts_with(u"\\\\")) {
    path.remove_prefix(2);
    network = true;
  }
  if (!network) {
    if (path.size() < 3 || !IsDriveLetter(path[0]) || path[1] != u':' || path[2] != u'\\') {
      return std::nullopt;
    }
    return AbsolutePath{Text(path.substr(0, 3)), false, path.substr(2)};
  }
  const std::size_t server_end = path.find(u'\\');
  if (server_end == TextView::npos || server_end == 0) return std::nullopt;
  const TextView server = path.substr(0, server_end);
  if (server == u"." || server == u"?") return std::nullopt;
  const std::size_t share_end = std::min(path.find(u'\\', server_end + 1), path.size());
  if (share_end == server_end + 1) return std::nullopt;
  return AbsolutePath{u"\\\\" + Text(path.substr(0, share_end)) + u"\\", true, path};
}

// Characters no Windows name holds. A wildcard would make the probe match
// other entries, and a shortcut written where a name's characters were lost
// holds "?" in their place.
bool HoldsForbiddenCharacters(TextView names) {
  return std::any_of(names.begin(), names.end(),
                     [](char16_t c) { return c != u'\\' && IsForbiddenInName(c); });
}

ShortcutTarget Unknown(Text target, Text reason) {
  return {ShortcutStatus::kUnknown, std::move(target), std::move(reason)};
}

// A target whose absence cannot mean that it is gone: only its presence counts.
ShortcutTarget PresentOrUnreachable(const Text& path, TargetProbe& probe, TextView where) {
  const TargetProbe::Answer answer = probe.Probe(path);
  if (answer.presence == Presence::kPresent) return {ShortcutStatus::kOk, path, {}};
  Text reason(where);
  if (answer.presence == Presence::kCannotTell) reason += WindowsSays(answer.why);
  return {ShortcutStatus::kUnreachable, path, std::move(reason)};
}

TextView Elsewhere(Volume volume) {
  static constexpr TextView kWhere[] = {
      u"a target on a drive that is not a fixed one",  // a fixed drive never comes here
      u"a network target that is not there or not reached",
      u"a target on a removable drive, not there now",
      u"a target on a drive that is not there",
      u"a target on a drive that is not a fixed one",
  };
  return kWhere[static_cast<int>(volume)];
}

// The names of the variables a target refers to, paired as the system's
// expansion pairs them: from one "%" to the next.
std::vector<Text> VariablesIn(TextView text) {
  std::vector<Text> names;
  for (std::size_t open = text.find(u'%'); open != TextView::npos;) {
    const std::size_t close = text.find(u'%', open + 1);
    if (close == TextView::npos) break;
    names.emplace_back(text.substr(open + 1, close - open - 1));
    open = text.find(u'%', close + 1);
  }
  return names;
}

Text OfProduct(const Text& product) {
  return u"an installer's advertised shortcut of product " + product;
}

// Windows Installer repairs a missing file of an installed product when its
// advertised shortcut is started, so only a product that is not installed
// makes such a shortcut dead.
ShortcutTarget JudgeAdvertised(const ShortcutPlace& place, TargetProbe& probe) {
  const TargetProbe::AdvertisedReading reading = probe.ReadAdvertised(place.path);
  if (!reading.advertised) {
    return Unknown(
        {}, u"an installer's advertised shortcut whose product could not be told: " + reading.why);
  }
  const TargetProbe::Advertised& advertised = *reading.advertised;
  const TargetProbe::ProductAnswer answer = probe.QueryProduct(advertised.product, place.user_sid);
  switch (answer.state) {
    case TargetProbe::Product::kInstalled:
      return {
          ShortcutStatus::kOk, probe.ComponentPath(advertised.product, advertised.component), {}};
    case TargetProbe::Product::kNotInstalled:
      return {ShortcutStatus::kMissing,
              {},
              OfProduct(advertised.product) + u", which is not installed"};
    case TargetProbe::Product::kOther:
      break;
  }
  return Unknown({}, OfProduct(advertised.product) + u": " + answer.words);
}

ShortcutTarget JudgeTarget(const ShortcutFile& file, const ShortcutPlace& place,
                           TargetProbe& probe) {
  Text path;
  // A name read from ANSI bytes may have stood for other characters on the
  // writer's machine, so not finding it as read proves nothing.
  bool code_page_name = false;
  if (file.environment_target) {
    const Text& written = *file.environment_target;
    if (!place.own_profile) {
      for (const Text& name : VariablesIn(written)) {
        if (!IsPerUserVariable(name)) continue;
        return Unknown({}, u"the target " + written + u" uses %" + name +
                               u"%, which differs from user to user: it is judged only in the "
                               u"Programs folder of the account running this");
      }
    }
    std::optional<Text> expanded = probe.ExpandEnvironment(written);
    if (!expanded) return Unknown({}, u"a variable in the target has no value: " + written);
    path = std::move(*expanded);
    code_page_name = file.ansi.environment_target && BeyondAscii(written);
  } else if (file.local_path) {
    path = *file.local_path;
    code_page_name = file.ansi.local_path && BeyondAscii(path);
  } else if (file.network_path) {
    path = *file.network_path;
    code_page_name = file.ansi.network_path && BeyondAscii(path);
  } else if (file.id_list_path) {
    path = *file.id_list_path;
  } else if (file.id_list == ShortcutFile::IdList::kShellNamespace) {
    return Unknown({}, u"the target is a shell item, not a file path");
  } else if (file.id_list == ShortcutFile::IdList::kFileSystem) {
    return Unknown({}, u"the target's item list could not be read as a path");
  } else if (file.relative_path) {
    return Unknown({}, u"the target is given only relative to the shortcut");
  } else {
    return Unknown({}, u"the shortcut names no target");
  }

  const std::optional<AbsolutePath> absolute = ParseAbsolute(path);
  if (!absolute) return Unknown(path, u"the target is not a full path");
  if (HoldsForbiddenCharacters(absolute->names)) {
    return Unknown(path, u"the target holds characters no file name may hold");
  }
  if (absolute->network) return PresentOrUnreachable(path, probe, Elsewhere(Volume::kRemote));
  const Volume volume = probe.VolumeOf(absolute->root);
  if (volume != Volume::kFixed) return PresentOrUnreachable(path, probe, Elsewhere(volume));

  // A fixed drive that does not answer says nothing about the target on it.
  const TargetProbe::Answer root = probe.Probe(absolute->root);
  if (root.presence == Presence::kCannotTell) {
    return Unknown(path,
                   u"could not tell whether the target's drive is there" + WindowsSays(root.why));
  }
  if (root.presence != Presence::kPresent) {
    return {ShortcutStatus::kUnreachable, path, u"the target's drive does not answer"};
  }
  const TargetProbe::Answer target = probe.Probe(path);
  switch (target.presence) {
    case Presence::kPresent:
      return {ShortcutStatus::kOk, path, {}};
    case Presence::kAbsent:
      if (code_page_name) {
        return Unknown(path,
                       u"not found as read, but its name was written in an unknown code page");
      }
      return {ShortcutStatus::kMissing, path, u"the target is not there"};
    case Presence::kNoAnswer:
      return {ShortcutStatus::kUnreachable, path, u"the target did not answer in time"};
    case Presence::kCannotTell:
      break;
  }
  return Unknown(path, u"could not tell whether the target is there" + WindowsSays(target.why));
}

}  // namespace

bool IsPerUserVariable(TextView name) {
  static constexpr TextView kMachineVariables[] = {
      u"systemroot",         u"windir",       u"systemdrive",        u"programfiles",
      u"programfiles(x86)",  u"programw6432", u"commonprogramfiles", u"commonprogramfiles(x86)",
      u"commonprogramw6432", u"programdata",  u"allusersprofile",    u"public",
  };
  const Text lowered = Lower(name);
  return std::find(std::begin(kMachineVariables), std::end(kMachineVariables), lowered) ==
         std::end(kMachineVariables);
}

std::optional<Text> VolumeRootOf(TextView path) {
  std::optional<AbsolutePath> absolute = ParseAbsolute(path);
  if (!absolute) return std::nullopt;
  return std::move(absolute->root);
}

TextView StatusName(ShortcutStatus status) {
  static constexpr TextView kNames[] = {u"ok", u"missing", u"unreachable", u"unknown"};
  return kNames[static_cast<int>(status)];
}

ShortcutTarget JudgeShortcut(const ShortcutFile& file, const ShortcutPlace& place,
                             TargetProbe& probe) {
  if (!file.readable) return Unknown({}, u"not a readable shortcut: " + file.unreadable_why);
  if (file.promised_block_unread) {
    return Unknown({}, u"the shortcut says its target is in a block that did not read: " +
                           file.rest_unread_why);
  }
  ShortcutTarget judged =
      file.advertised ? JudgeAdvertised(place, probe) : JudgeTarget(file, place, probe);
  if (!file.rest_unread_why.empty()) {
    judged.reason += (judged.reason.empty() ? u"" : u"; ") +
                     (u"the rest of the shortcut did not read: " + file.rest_unread_why);
  }
  return judged;
}

}  // namespace ostrevane
