#pragma once
// A failure as a step of a handler sees it: an exception that carries the
// description the error report shows, the system's error code it came from,
// and the place in the program that raised it.

#include <cstdint>
#include <exception>

#include "base/text.h"

namespace ostrevane {

// A place in the program's sources. As a default argument, Here() is the
// caller's place (std::source_location is not in every compiler we build with).
struct SourcePlace {
  const char* file;
  int line;
  static constexpr SourcePlace Here(const char* file = __builtin_FILE(),
                                    int line = __builtin_LINE()) {
    return {file, line};
  }
};

class Failure : public std::exception {
 public:
  explicit Failure(Text description, std::uint32_t system_error = 0,
                   SourcePlace where = SourcePlace::Here())
      : description_(std::move(description)), system_error_(system_error), where_(where) {}
  const Text& description() const noexcept { return description_; }
  // The system's error code it came from; 0 when it came from none.
  std::uint32_t system_error() const noexcept { return system_error_; }
  // Where it was raised: a bug report can name the place.
  const SourcePlace& where() const noexcept { return where_; }

 private:
  Text description_;
  std::uint32_t system_error_;
  SourcePlace where_;
};

// The description of the exception being handled, whatever it is: call it
// inside a catch block. The one place where an exception becomes words, for
// the error report, the window's handlers and the command line alike.
Text DescribeCaughtException();

// "file.cpp:123", where a failure was raised.
Text PlaceOf(const Failure& failure);

// The system's error codes a portable rule tells apart.
inline constexpr std::uint32_t kSystemErrorAccessDenied = 5;

// A system's message as it follows a sentence of ours: shown for what it
// adds, never as the whole reason.
inline Text WindowsSays(TextView words) { return u" (Windows says: " + Text(words) + u")"; }

// The standard descriptions of failures that the program's own code raises,
// in the words a user of Windows programs knows from the runtime.
namespace failure_text {
inline constexpr char16_t kInvalidArgument[] = u"Invalid procedure call or argument";
inline constexpr char16_t kObjectNotSet[] = u"Object variable or With block variable not set";
inline constexpr char16_t kLoopNotInitialized[] = u"For loop not initialized";
inline constexpr char16_t kIndexOutOfBounds[] = u"Index out of bounds";
inline constexpr char16_t kKeyNotUnique[] = u"Key is not unique in collection";
inline constexpr char16_t kOutOfMemory[] = u"Out of memory";
}  // namespace failure_text

}  // namespace ostrevane
