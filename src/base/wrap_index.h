#pragma once

namespace kavio {

enum class WrapMode { Clamp, Wrap };

// Brings `value` into min .. max: clamping to the nearer end, or wrapping around by the range's
// length. When max <= min the result is min.
int WrapIndex(int value, int min, int max, WrapMode mode);

}  // namespace kavio
