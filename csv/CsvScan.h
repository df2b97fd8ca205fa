#pragma once

// Byte scanning for the line reader and the line cutter. Loading a large file spends most of its
// time looking for the few bytes that matter (quotes, separators, line ends), so the search
// compares 16 bytes at a time where the processor allows it.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <string_view>

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
        if (mask != 0) return p + std::countr_zero(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    for (; p != end; ++p) {
        const char c = *p;
        if (((c == needles) || ...)) return p;
    }
    return end;
}

// Bit i set when p[i] equals one of the needles, for the 16 bytes at p.
template <typename... Needles>
unsigned MatchMask16(const char* p, Needles... needles) {
#if defined(__SSE2__)
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hits = _mm_setzero_si128();
    ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, _mm_set1_epi8(needles)))), ...);
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
#else
    unsigned mask = 0;
    for (int i = 0; i < 16; ++i) {
        if (((p[i] == needles) || ...)) mask |= 1u << i;
    }
    return mask;
#endif
}

// Bits of the 16 bytes at p that equal a (First) and b (Second), from one load.
struct MaskPair {
    unsigned First;
    unsigned Second;
};

inline MaskPair MatchMasks16(const char* p, char a, char b) {
#if defined(__SSE2__)
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return {static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(a)))),
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(b))))};
#else
    return {MatchMask16(p, a), MatchMask16(p, b)};
#endif
}

// As MatchMasks16 for the last count (below 16) bytes of text, which begin at its offset base.
inline MaskPair TailMatchMasks(std::string_view text, std::size_t base, char a, char b) {
    const std::size_t count = text.size() - base;
    if (text.size() >= 16) {
        // The last 16 bytes of the text overlap what was seen already; the overlap is shifted out.
        const MaskPair masks = MatchMasks16(text.data() + text.size() - 16, a, b);
        const auto shift = static_cast<unsigned>(16 - count);
        return {masks.First >> shift, masks.Second >> shift};
    }
    char padded[16] = {};
    std::memcpy(padded, text.data() + base, count);
    const MaskPair masks = MatchMasks16(padded, a, b);
    const unsigned valid = (1u << count) - 1;
    return {masks.First & valid, masks.Second & valid};
}

// As MatchMask16 for the last count (below 16) bytes of text, which begin at its offset base.
template <typename... Needles>
unsigned TailMatchMask(std::string_view text, std::size_t base, Needles... needles) {
    const std::size_t count = text.size() - base;
    if (text.size() >= 16) {
        // The last 16 bytes of the text overlap what was seen already; the overlap is shifted out.
        return MatchMask16(text.data() + text.size() - 16, needles...) >> (16 - count);
    }
    char padded[16] = {};
    std::memcpy(padded, text.data() + base, count);
    return MatchMask16(padded, needles...) & ((1u << count) - 1);
}

// Calls visit(offset) for the offsets in text whose byte equals one of the needles, in order.
// visit returns the offset from which to go on, so that it can pass over bytes it has dealt with.
template <typename Visit, typename... Needles>
void ForEachMatch(std::string_view text, Visit&& visit, Needles... needles) {
    std::size_t resume = 0;
    for (std::size_t base = 0; base < text.size(); base += 16) {
        unsigned mask = text.size() - base >= 16 ? MatchMask16(text.data() + base, needles...)
                                                 : TailMatchMask(text, base, needles...);
        for (; mask != 0; mask &= mask - 1) {
            const std::size_t offset = base + static_cast<std::size_t>(std::countr_zero(mask));
            if (offset >= resume) resume = visit(offset);
        }
    }
}

// First occurrence of one byte; the C library's search is the fastest there is for this case.
inline const char* FindByte(const char* p, const char* end, char needle) {
    const void* hit = std::memchr(p, needle, static_cast<std::size_t>(end - p));
    return hit == nullptr ? end : static_cast<const char*>(hit);
}

}  // namespace tavisto::csvscan
