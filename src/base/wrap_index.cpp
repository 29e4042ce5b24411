#include "base/wrap_index.h"

namespace kavio {

int WrapIndex(int value, int min, int max, WrapMode mode)
{
    if (max <= min)
        return min;
    if (mode == WrapMode::Clamp)
        return value > max ? max : value < min ? min : value;
    const long long span = static_cast<long long>(max) - min + 1;
    long long offset = (static_cast<long long>(value) - min) % span;
    if (offset < 0)
        offset += span;
    return static_cast<int>(min + offset);
}

}  // namespace kavio
