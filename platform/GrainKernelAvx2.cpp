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

// The table's entries at index and index + 1 of the lanes that play, each pair in one 64-bit read.
void gatherPairs (const float* table, GatherInts index, GatherInts lanes, GatherFloats& first, GatherFloats& second) noexcept
{
    const auto* pairs = reinterpret_cast<const long long*> (table);
    const auto low = _mm256_mask_i32gather_epi64 (_mm256_setzero_si256(), pairs, _mm256_castsi256_si128 ((__m256i) index),
                                                  _mm256_cvtepi32_epi64 (_mm256_castsi256_si128 ((__m256i) lanes)), 4);
    const auto high = _mm256_mask_i32gather_epi64 (_mm256_setzero_si256(), pairs, _mm256_extracti128_si256 ((__m256i) index, 1),
                                                   _mm256_cvtepi32_epi64 (_mm256_extracti128_si256 ((__m256i) lanes, 1)), 4);
    // Within each half the pairs' first and second entries, then the halves' 64-bit quarters put in order.
    const auto firsts = _mm256_shuffle_ps ((__m256) low, (__m256) high, _MM_SHUFFLE (2, 0, 2, 0));
    const auto seconds = _mm256_shuffle_ps ((__m256) low, (__m256) high, _MM_SHUFFLE (3, 1, 3, 1));
    first = (GatherFloats) _mm256_permute4x64_pd ((__m256d) firsts, _MM_SHUFFLE (3, 1, 2, 0));
    second = (GatherFloats) _mm256_permute4x64_pd ((__m256d) seconds, _MM_SHUFFLE (3, 1, 2, 0));
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
