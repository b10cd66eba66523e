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
