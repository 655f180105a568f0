#include "window_rules/app_title.h"

#include "base/failure.h"

namespace ostrevane {
namespace {

Text CutAtLastBlank(TextView text) {
  const std::size_t blank = text.rfind(u' ');
  if (blank == TextView::npos) throw Failure(failure_text::kInvalidArgument);
  return Text(text.substr(0, blank));
}

}  // namespace

Text CutAppTitle(TextView full_name) {
  Text title = CutAtLastBlank(full_name);
  while (title.size() > kLongestAppTitle) title = CutAtLastBlank(title);
  return title;
}

}  // namespace ostrevane
