#include "win32/target_probe_win32.h"

#include <algorithm>

#include "win32/handles.h"
#include "win32/win_text.h"
#include "win32/system_error.h"
#include "win32/fill_growing.h"

namespace ostrevane::win32 {
namespace {

using Presence = TargetProbe::Presence;
using Volume = TargetProbe::Volume;

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;
  ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }

 private:
  SRWLOCK& lock_;
};

// The volume root of a path, lower-cased, to tell volumes apart; empty for a
// path that is not absolute.
Text LowerRootOf(TextView path) {
  const std::optional<Text> root = VolumeRootOf(path);
  return root ? Lower(*root) : Text();
}

// A path as the file functions take it: one of MAX_PATH characters or more
// only in its \\?\ form, which passes the path on unchanged, so it is made
// whole (no "." or "..") first.
Text AskablePath(const Text& path) {
  if (path.size() < MAX_PATH || path.starts_with(u"\\\\?\\") || path.starts_with(u"\\\\.\\")) {
    return path;
  }
  const std::optional<Text> whole = FillGrowing<Text>(
      [&](Text& buffer, DWORD size) {
        return GetFullPathNameW(Wide(path), size, Wide(buffer), nullptr);
      },
      path.size() + 1);
  if (!whole) return path;
  if (whole->starts_with(u"\\\\")) return u"\\\\?\\UNC\\" + whole->substr(2);
  return u"\\\\?\\" + *whole;
}

// Whether the environment has a variable of this name, its value empty or not.
// GetEnvironmentVariableW finds names exactly as the expansion does.
bool Defined(const Text& name) {
  if (name.empty()) return false;
  wchar_t value[1];
  SetLastError(ERROR_SUCCESS);
  return GetEnvironmentVariableW(Wide(name), value, 1) != 0 ||
         GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

}  // namespace

TargetProbe::Volume VolumeOfDriveType(UINT type) {
  switch (type) {
    case DRIVE_FIXED:
      return Volume::kFixed;
    case DRIVE_REMOTE:
      return Volume::kRemote;
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
      return Volume::kRemovable;
    case DRIVE_NO_ROOT_DIR:
      return Volume::kAbsent;
    default:
      return Volume::kOther;
  }
}

// What the probe and one worker thread share. The thread holds its own
// reference, so a worker left in a call that hung finds this still there when
// the call returns.
struct Win32TargetProbe::Worker {
  explicit Worker(VolumeCalls volume_calls) : calls(volume_calls) {}

  struct Request {
    CallKind kind;
    Text argument;
  };

  const VolumeCalls calls;
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE request_ready = CONDITION_VARIABLE_INIT;
  CONDITION_VARIABLE reply_ready = CONDITION_VARIABLE_INIT;
  // Guarded by the lock.
  std::optional<Request> request;
  std::optional<Reply> reply;
  bool released = false;  // the probe no longer waits on this worker: it ends

  static DWORD WINAPI Main(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Worker>> handed(
        static_cast<std::shared_ptr<Worker>*>(parameter));
    const std::shared_ptr<Worker> worker = *handed;
    for (;;) {
      Request taken;
      {
        ExclusiveLock hold(worker->lock);
        while (!worker->request && !worker->released) {
          SleepConditionVariableSRW(&worker->request_ready, &worker->lock, INFINITE, 0);
        }
        if (worker->released) return 0;
        taken = std::move(*worker->request);
        worker->request.reset();
      }
      SetLastError(ERROR_SUCCESS);
      const DWORD value = taken.kind == CallKind::kAttributes
                              ? worker->calls.attributes(Wide(taken.argument))
                              : worker->calls.drive_type(Wide(taken.argument));
      const DWORD error = GetLastError();
      ExclusiveLock hold(worker->lock);
      if (worker->released) return 0;
      worker->reply = Reply{value, error};
      WakeConditionVariable(&worker->reply_ready);
    }
  }

  void Release() {
    ExclusiveLock hold(lock);
    released = true;
    WakeConditionVariable(&request_ready);
  }
};

Win32TargetProbe::Win32TargetProbe(DWORD time_limit_ms, VolumeCalls calls)
    : time_limit_ms_(time_limit_ms), calls_(calls) {}

Win32TargetProbe::~Win32TargetProbe() {
  if (worker_) worker_->Release();
}

std::optional<Win32TargetProbe::Reply> Win32TargetProbe::Run(CallKind kind, const Text& argument) {
  if (!worker_) {
    auto worker = std::make_shared<Worker>(calls_);
    auto handed = std::make_unique<std::shared_ptr<Worker>>(worker);
    // The thread only waits and makes one file-system call at a time.
    const UniqueKernelHandle thread(CreateThread(nullptr, 256 * 1024, &Worker::Main, handed.get(),
                                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread) {
      const DWORD failed = kind == CallKind::kAttributes ? INVALID_FILE_ATTRIBUTES : DRIVE_UNKNOWN;
      return Reply{failed, GetLastError()};
    }
    handed.release();
    worker_ = std::move(worker);
  }
  Worker& worker = *worker_;
  {
    ExclusiveLock hold(worker.lock);
    worker.request = Worker::Request{kind, argument};
    worker.reply.reset();
    WakeConditionVariable(&worker.request_ready);
    const ULONGLONG deadline = GetTickCount64() + time_limit_ms_;
    for (ULONGLONG now = GetTickCount64(); !worker.reply && now < deadline;
         now = GetTickCount64()) {
      SleepConditionVariableSRW(&worker.reply_ready, &worker.lock,
                                static_cast<DWORD>(deadline - now), 0);
    }
    if (worker.reply) return worker.reply;
    worker.released = true;
  }
  worker_.reset();
  return std::nullopt;
}

bool Win32TargetProbe::InHungScope(const Text& path) const {
  if (hung_scopes_.empty()) return false;
  const Text lower = Lower(path);
  return std::any_of(hung_scopes_.begin(), hung_scopes_.end(),
                     [&](const Text& scope) { return lower.starts_with(scope); });
}

std::optional<Text> Win32TargetProbe::ExpandEnvironment(const Text& text) {
  // ExpandEnvironmentStringsW leaves "%NAME%" as written when NAME has no
  // value, which would make a path that was never meant. So each reference is
  // checked first, paired as the expansion pairs them: from a "%" to the next.
  for (std::size_t open = text.find(u'%'); open != Text::npos;) {
    const std::size_t close = text.find(u'%', open + 1);
    if (close == Text::npos) break;
    if (!Defined(text.substr(open + 1, close - open - 1))) return std::nullopt;
    open = text.find(u'%', close + 1);
  }
  // The length it answers counts the terminator, which is cut off after.
  std::optional<Text> expanded = FillGrowing<Text>(
      [&](Text& buffer, DWORD size) {
        return ExpandEnvironmentStringsW(Wide(text), Wide(buffer), size);
      },
      std::max<std::size_t>(text.size() * 2, MAX_PATH));
  if (expanded) expanded->pop_back();
  return expanded;
}

TargetProbe::Volume Win32TargetProbe::VolumeOf(const Text& root) {
  const Text lower_root = LowerRootOf(root);
  if (lower_root.starts_with(u"\\\\")) return Volume::kRemote;
  if (lower_root.empty() || Lower(root) != lower_root) return Volume::kOther;
  if (const auto known = drive_kinds_.find(lower_root); known != drive_kinds_.end()) {
    return known->second;
  }
  Volume volume = Volume::kOther;
  if (!InHungScope(lower_root)) {
    if (const std::optional<Reply> reply = Run(CallKind::kDriveType, root)) {
      volume = VolumeOfDriveType(reply->value);
    } else {
      hung_scopes_.push_back(lower_root);
    }
  }
  drive_kinds_.emplace(lower_root, volume);
  return volume;
}

TargetProbe::Answer Win32TargetProbe::Probe(const Text& path) {
  if (InHungScope(path)) return {Presence::kNoAnswer, {}};
  const Text root = LowerRootOf(path);
  const bool is_root = !root.empty() && path.size() == root.size() && Lower(path) == root;
  // A drive's root that answered is asked once a run, not once a shortcut.
  if (is_root &&
      std::find(answered_roots_.begin(), answered_roots_.end(), root) != answered_roots_.end()) {
    return {Presence::kPresent, {}};
  }
  const std::optional<Reply> reply = Run(CallKind::kAttributes, AskablePath(path));
  if (!reply) {
    // A volume that hung is taken to hang for every path on it. But when its
    // root has answered, what hung lies below it (a link to a share that does
    // not answer), and only the folder of the path is given up.
    const bool root_answered =
        std::find(answered_roots_.begin(), answered_roots_.end(), root) != answered_roots_.end();
    if (!root.empty() && (is_root || !root_answered)) {
      hung_scopes_.push_back(root);
    } else {
      const TextView folder = FolderPart(path);
      hung_scopes_.push_back(folder.empty() ? Lower(path) : Lower(folder) + u"\\");
    }
    return {Presence::kNoAnswer, {}};
  }
  if (reply->value != INVALID_FILE_ATTRIBUTES) {
    if (is_root &&
        std::find(answered_roots_.begin(), answered_roots_.end(), root) == answered_roots_.end()) {
      answered_roots_.push_back(root);
    }
    return {Presence::kPresent, {}};
  }
  // Only these two say that the name is not there. Every other failure (a
  // server or share not found, a drive not ready, access denied) leaves it open.
  if (reply->error == ERROR_FILE_NOT_FOUND || reply->error == ERROR_PATH_NOT_FOUND) {
    return {Presence::kAbsent, {}};
  }
  return {Presence::kCannotTell, SystemErrorText(reply->error)};
}

}  // namespace ostrevane::win32
