// Plain loops that the compiler vectorises.
#include "platform/VectorOps.h"

namespace platform
{
void clear (float* destination, int n) noexcept
{
    for (int i = 0; i < n; ++i)
        destination[i] = 0.0f;
}

void multiply (const float* a, const float* b, float* result, int n) noexcept
{
    for (int i = 0; i < n; ++i)
        result[i] = a[i] * b[i];
}
} // namespace platform
