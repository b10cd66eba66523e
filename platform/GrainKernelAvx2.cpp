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

// a < b ? a : b in one instruction (b where either is NaN).
GatherFloats lowerOf (GatherFloats a, GatherFloats b) noexcept
{
    return (GatherFloats) _mm256_min_ps ((__m256) a, (__m256) b);
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

namespace platform
{
void sumGrainRowsAvx2 (const float (*rows)[64], int slotCount, float* sums) noexcept
{
    static_assert (maxKernelSamples == 16, "two vectors of eight rows");
    __m256 sum[2] = { _mm256_setzero_ps(), _mm256_setzero_ps() };
    for (int i = 0; i < slotCount; i += 8)
    {
        // Eight slots of eight rows, turned so that each vector holds one slot of each row.
        for (int half = 0; half < 2; ++half)
        {
            const auto* r = rows + 8 * half;
            const __m256 t0 = _mm256_unpacklo_ps (_mm256_loadu_ps (r[0] + i), _mm256_loadu_ps (r[1] + i));
            const __m256 t1 = _mm256_unpackhi_ps (_mm256_loadu_ps (r[0] + i), _mm256_loadu_ps (r[1] + i));
            const __m256 t2 = _mm256_unpacklo_ps (_mm256_loadu_ps (r[2] + i), _mm256_loadu_ps (r[3] + i));
            const __m256 t3 = _mm256_unpackhi_ps (_mm256_loadu_ps (r[2] + i), _mm256_loadu_ps (r[3] + i));
            const __m256 t4 = _mm256_unpacklo_ps (_mm256_loadu_ps (r[4] + i), _mm256_loadu_ps (r[5] + i));
            const __m256 t5 = _mm256_unpackhi_ps (_mm256_loadu_ps (r[4] + i), _mm256_loadu_ps (r[5] + i));
            const __m256 t6 = _mm256_unpacklo_ps (_mm256_loadu_ps (r[6] + i), _mm256_loadu_ps (r[7] + i));
            const __m256 t7 = _mm256_unpackhi_ps (_mm256_loadu_ps (r[6] + i), _mm256_loadu_ps (r[7] + i));
            // Slots k and k + 4 of rows 0 to 3 (s) and 4 to 7 (u).
            const __m256 s0 = _mm256_shuffle_ps (t0, t2, 0x44), s1 = _mm256_shuffle_ps (t0, t2, 0xee);
            const __m256 s2 = _mm256_shuffle_ps (t1, t3, 0x44), s3 = _mm256_shuffle_ps (t1, t3, 0xee);
            const __m256 u0 = _mm256_shuffle_ps (t4, t6, 0x44), u1 = _mm256_shuffle_ps (t4, t6, 0xee);
            const __m256 u2 = _mm256_shuffle_ps (t5, t7, 0x44), u3 = _mm256_shuffle_ps (t5, t7, 0xee);
            __m256 a = sum[half];
            a = _mm256_add_ps (a, _mm256_permute2f128_ps (s0, u0, 0x20));
            a = _mm256_add_ps (a, _mm256_permute2f128_ps (s1, u1, 0x20));
            a = _mm256_add_ps (a, _mm256_permute2f128_ps (s2, u2, 0x20));
            a = _mm256_add_ps (a, _mm256_permute2f128_ps (s3, u3, 0x20));
            a = _mm256_add_ps (a, _mm256_permute2f128_ps (s0, u0, 0x31));
            a = _mm256_add_ps (a, _mm256_permute2f128_ps (s1, u1, 0x31));
            a = _mm256_add_ps (a, _mm256_permute2f128_ps (s2, u2, 0x31));
            sum[half] = _mm256_add_ps (a, _mm256_permute2f128_ps (s3, u3, 0x31));
        }
    }
    _mm256_storeu_ps (sums, sum[0]);
    _mm256_storeu_ps (sums + 8, sum[1]);
}
} // namespace platform
