// The grain slot kernel eight slots at a time, for processors with AVX2 (this file is built with -mavx2).
#include "platform/GrainKernel.h"

#include <immintrin.h>

#define LANES 8
#define GRAIN_KERNEL_NAME playGrainSlotsAvx2

namespace platform
{
namespace
{
typedef float GatherFloats __attribute__ ((vector_size (32)));
typedef int GatherInts __attribute__ ((vector_size (32)));

GatherFloats gather (const float* table, GatherInts index, GatherInts lanes) noexcept
{
    return (GatherFloats) _mm256_mask_i32gather_ps (_mm256_setzero_ps(), table, (__m256i) index, (__m256) lanes, 4);
}

unsigned laneBits (GatherInts mask) noexcept
{
    return (unsigned) _mm256_movemask_ps ((__m256) mask);
}
GatherInts pendingLanes (const bool* flags) noexcept
{
    const auto wide = _mm256_cvtepu8_epi32 (_mm_loadl_epi64 (reinterpret_cast<const __m128i*> (flags)));
    return (GatherInts) _mm256_xor_si256 (_mm256_cmpeq_epi32 (wide, _mm256_setzero_si256()), _mm256_set1_epi32 (-1));
}
} // namespace
} // namespace platform

#include "platform/GrainKernelWide.inc"
