// Block-wide float vector routines used by the audio callback (clear, element-wise multiply).
#pragma once

namespace platform
{
/** Sets n floats to zero. */
void clear (float* destination, int n) noexcept;

/** result[i] = a[i] * b[i] for i below n; result may be the same array as a. */
void multiply (const float* a, const float* b, float* result, int n) noexcept;
} // namespace platform
