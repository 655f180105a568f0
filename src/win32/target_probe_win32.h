#pragma once
// What judging a shortcut's target asks of Windows: the process's environment,
// the kind of a drive, and whether a file or folder is there, under a time
// limit, since on Windows a call about a network path or a dead drive can
// block for most of a minute.

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "catalogue/shortcut_status.h"
#include "win32/installer_win32.h"

namespace ostrevane::win32 {

// The calls that can block on a volume that does not answer. Tests put
// stand-ins in their place to make a call hang.
struct VolumeCalls {
  DWORD(WINAPI* attributes)(LPCWSTR path) = &GetFileAttributesW;
  UINT(WINAPI* drive_type)(LPCWSTR root) = &GetDriveTypeW;
};

// The kind of volume GetDriveTypeW's answer stands for: an optical drive is
// removable, for what is not there now may be there with the next disc.
TargetProbe::Volume VolumeOfDriveType(UINT drive_type);

// One caller at a time. The calls that can block run on a worker thread that
// lives as long as the probe and takes one request at a time; a call that has
// not returned by the time limit is left to its thread, which ends when the
// call does, and a new worker takes the next request. The kind of each drive
// is asked once in the probe's life.
class Win32TargetProbe : public TargetProbe {
 public:
  static constexpr DWORD kTimeLimitMs = 2000;

  explicit Win32TargetProbe(DWORD time_limit_ms = kTimeLimitMs, VolumeCalls calls = {});
  ~Win32TargetProbe() override;
  Win32TargetProbe(const Win32TargetProbe&) = delete;
  Win32TargetProbe& operator=(const Win32TargetProbe&) = delete;

  std::optional<Text> ExpandEnvironment(const Text& text) override;
  Volume VolumeOf(const Text& root) override;
  Answer Probe(const Text& path) override;
  AdvertisedReading ReadAdvertised(const Text& shortcut_path) override {
    return installer_.ReadAdvertised(shortcut_path);
  }
  ProductAnswer QueryProduct(const Text& product, const Text& user_sid) override {
    return installer_.QueryProduct(product, user_sid);
  }
  Text ComponentPath(const Text& product, const Text& component) override {
    return installer_.ComponentPath(product, component);
  }

 private:
  struct Worker;
  enum class CallKind { kAttributes, kDriveType };
  struct Reply {
    DWORD value;  // what the call returned
    DWORD error;  // the thread's last error after it
  };

  // The call's reply, or nothing when it did not return within the time limit.
  std::optional<Reply> Run(CallKind kind, const Text& argument);
  bool InHungScope(const Text& path) const;

  DWORD time_limit_ms_;
  VolumeCalls calls_;
  std::shared_ptr<Worker> worker_;  // started at the first request
  std::map<Text, Volume> drive_kinds_;
  std::vector<Text> answered_roots_;  // lower case, as LowerRootOf gives them
  // Lower-case starts of the paths where a call hung: every path beginning
  // with one is answered kNoAnswer at once.
  std::vector<Text> hung_scopes_;
  InstallerQueries installer_;
};

}  // namespace ostrevane::win32
