#pragma once
// The value of the main window's push buttons. Nothing reads it back; the
// commands reset it before they act.

#include <cstdint>

namespace ostrevane {

enum class PushButtonId { k1 = 1, k2, k3, k4, k5 };

class PushButtonValues {
 public:
  virtual ~PushButtonValues() = default;
  // Throws Failure when the button cannot take the value.
  virtual void SetValue(PushButtonId button, std::int32_t value) = 0;
};

}  // namespace ostrevane
