#pragma once

// Where the bytes that the loader's scan acts on (quotes, the separator, CR and LF) lie in 64
// bytes of a file, as bit masks: bit i stands for byte i. With SSE2 16 bytes are compared at a
// time; processors with AVX2 compare 32, which the scan chooses at run time.

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#define TAVISTO_CSVSCAN_AVX2 1
#include <immintrin.h>
#endif

namespace tavisto {

inline constexpr std::size_t kScanChunk = 64;

struct ScanMasks {
    std::uint64_t Quotes = 0;
    std::uint64_t Separators = 0;
    std::uint64_t LineEnds = 0;
};

// The masks of the kScanChunk bytes at p.
inline ScanMasks ScanMasksOf(const char* p, char separator) {
    ScanMasks masks;
#if defined(__SSE2__)
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i wanted = _mm_set1_epi8(separator);
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (int k = 0; k < 4; ++k) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        const int shift = 16 * k;
        const auto bits = [shift](__m128i hits) {
            return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(hits))} << shift;
        };
        masks.Quotes |= bits(_mm_cmpeq_epi8(block, quote));
        masks.Separators |= bits(_mm_cmpeq_epi8(block, wanted));
        masks.LineEnds |= bits(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
    }
#else
    for (std::size_t i = 0; i < kScanChunk; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << i;
        if (p[i] == '"') masks.Quotes |= bit;
        if (p[i] == separator) masks.Separators |= bit;
        if (p[i] == '\r' || p[i] == '\n') masks.LineEnds |= bit;
    }
#endif
    return masks;
}

#if defined(TAVISTO_CSVSCAN_AVX2)
inline bool CpuHasAvx2() {
    return __builtin_cpu_supports("avx2") != 0;
}

// As ScanMasksOf; may only run where CpuHasAvx2().
[[gnu::target("avx2")]] inline ScanMasks Avx2ScanMasksOf(const char* p, char separator) {
    ScanMasks masks;
    const __m256i quote = _mm256_set1_epi8('"');
    const __m256i wanted = _mm256_set1_epi8(separator);
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    for (int k = 0; k < 2; ++k) {
        const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * k));
        const int shift = 32 * k;
        const __m256i lineEnds =
            _mm256_or_si256(_mm256_cmpeq_epi8(block, cr), _mm256_cmpeq_epi8(block, lf));
        masks.Quotes |= std::uint64_t{static_cast<std::uint32_t>(
                            _mm256_movemask_epi8(_mm256_cmpeq_epi8(block, quote)))}
                        << shift;
        masks.Separators |= std::uint64_t{static_cast<std::uint32_t>(
                                _mm256_movemask_epi8(_mm256_cmpeq_epi8(block, wanted)))}
                            << shift;
        masks.LineEnds |= std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(lineEnds))}
                          << shift;
    }
    return masks;
}
#endif

}  // namespace tavisto
