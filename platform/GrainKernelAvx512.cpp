// The grain slot kernel sixteen slots at a time, for processors with AVX-512 (this file is built with -mavx512f).
#include "platform/GrainKernel.h"

#include <immintrin.h>

#define LANES 16
#define GRAIN_KERNEL_NAME playGrainSlotsAvx512

namespace platform
{
namespace
{
typedef float GatherFloats __attribute__ ((vector_size (64)));
typedef int GatherInts __attribute__ ((vector_size (64)));

GatherFloats gather (const float* table, GatherInts index, GatherInts lanes) noexcept
{
    const auto mask = _mm512_cmplt_epi32_mask ((__m512i) lanes, _mm512_setzero_si512());
    return (GatherFloats) _mm512_mask_i32gather_ps (_mm512_setzero_ps(), mask, (__m512i) index, table, 4);
}

// The table's entries at index and index + 1 of the lanes that play, each pair in one 64-bit read.
void gatherPairs (const float* table, GatherInts index, GatherInts lanes, GatherFloats& first, GatherFloats& second) noexcept
{
    const auto mask = _mm512_cmplt_epi32_mask ((__m512i) lanes, _mm512_setzero_si512());
    const auto low = _mm512_mask_i32gather_epi64 (_mm512_setzero_si512(), (__mmask8) mask,
                                                  _mm512_castsi512_si256 ((__m512i) index), table, 4);
    const auto high = _mm512_mask_i32gather_epi64 (_mm512_setzero_si512(), (__mmask8) (mask >> 8),
                                                   _mm512_castsi512_si256 (_mm512_shuffle_i64x2 ((__m512i) index, (__m512i) index, 0xee)), table, 4);
    const auto even = _mm512_setr_epi32 (0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
    const auto odd = _mm512_add_epi32 (even, _mm512_set1_epi32 (1));
    first = (GatherFloats) _mm512_permutex2var_ps ((__m512) low, even, (__m512) high);
    second = (GatherFloats) _mm512_permutex2var_ps ((__m512) low, odd, (__m512) high);
}

// a < b ? a : b in one instruction (b where either is NaN).
GatherFloats lowerOf (GatherFloats a, GatherFloats b) noexcept
{
    return (GatherFloats) _mm512_min_ps ((__m512) a, (__m512) b);
}

unsigned laneBits (GatherInts mask) noexcept
{
    return (unsigned) _mm512_cmplt_epi32_mask ((__m512i) mask, _mm512_setzero_si512());
}
GatherInts pendingLanes (const bool* flags) noexcept
{
    const auto wide = _mm512_cvtepu8_epi32 (_mm_loadu_si128 (reinterpret_cast<const __m128i*> (flags)));
    return (GatherInts) _mm512_maskz_set1_epi32 (_mm512_test_epi32_mask (wide, wide), -1);
}
} // namespace
} // namespace platform

#include "platform/GrainKernelWide.inc"
