#pragma once

// Byte scanning for the line reader and the line cutter. Loading a large file spends most of its
// time looking for the few bytes that matter (quotes, separators, line ends), so the search
// compares 16 bytes at a time where the processor allows it.

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavisto::csvscan {

// First byte in [p, end) equal to one of the needles; end when there is none.
template <typename... Needles>
const char* FindFirstOf(const char* p, const char* end, Needles... needles) {
    static_assert(sizeof...(Needles) >= 1);
#if defined(__SSE2__)
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, _mm_set1_epi8(needles)))), ...);
        const int mask = _mm_movemask_epi8(hits);
        if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    for (; p != end; ++p) {
        const char c = *p;
        if (((c == needles) || ...)) return p;
    }
    return end;
}

// First occurrence of one byte; the C library's search is the fastest there is for this case.
inline const char* FindByte(const char* p, const char* end, char needle) {
    const void* hit = std::memchr(p, needle, static_cast<std::size_t>(end - p));
    return hit == nullptr ? end : static_cast<const char*>(hit);
}

}  // namespace tavisto::csvscan
