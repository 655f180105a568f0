#pragma once
// The file system's answers to start-up's questions.

#include <utility>

#include "window_rules/file_queries.h"

namespace ostrevane::window {

class Win32FileQueries : public FileQueries {
 public:
  // `executable_folder` stands in for the running program's folder when not
  // empty.
  explicit Win32FileQueries(Text executable_folder = Text())
      : executable_folder_(std::move(executable_folder)) {}

  Text ExecutableFolder() override;
  void QueryLastModified(const Text& path) override;
  bool FindNormalFile(const Text& path) override;

 private:
  Text executable_folder_;
};

}  // namespace ostrevane::window
