#pragma once

// The loader's one pass over a table file's data lines. Finding where a line ends (the EndOfLine
// rule) and cutting it into columns (SplitLineIntoColumns, quote-aware, without backslash
// escapes) follow the same quote state: every double quote toggles it, and separators and line
// ends count only outside quotes (a doubled quote inside a quoted section toggles twice, which is
// what taking it as one literal quote amounts to). So both are found together, 64 bytes at a
// time, instead of reading every line once to find its end and again to cut it.
//
// Empty lines, and so the LF of a CR LF, are passed over; lines are handed out as the loader
// takes them: without their terminator and with trailing line breaks stripped.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "csv/CsvDataScanMasks.h"
#include "csv/CsvParse.h"

namespace tavisto {

class CsvLineScanner {
public:
    // maxLineLength: a line found to be longer is handed out as soon as that is known, with at
    // least maxLineLength + 1 of its first characters, and the rest of it is passed over.
    // useAvx2 false keeps to SSE2 even where the processor has AVX2.
    CsvLineScanner(char separator, std::size_t maxLineLength, bool useAvx2 = true)
        : separator_(separator), maxLineLength_(maxLineLength) {
#if defined(TAVISTO_CSVSCAN_AVX2)
        avx2_ = useAvx2 && CpuHasAvx2();
#else
        (void)useAvx2;
#endif
        starts_.Count = 1;
        starts_.Starts[0] = 0;
    }

    // Scans the next bytes of the file. For every complete non-empty line, calls
    // onLine(line, starts, tooManyColumns): starts as SplitLineIntoColumns gives them, or only the
    // first kMaxColumns of them with tooManyColumns set. The line's bytes are valid during the
    // call only.
    template <class OnLine>
    void Feed(std::string_view bytes, OnLine&& onLine) {
#if defined(TAVISTO_CSVSCAN_AVX2)
        if (avx2_) {
            FeedWithAvx2(bytes, onLine);
            return;
        }
#endif
        FeedChunks<false>(bytes, onLine);
    }

    // The end of the file: hands out the last line if it had no terminator.
    template <class OnLine>
    void Finish(OnLine&& onLine) {
        const std::string_view line = StripLineBreaks(carry_);
        if (!line.empty() && !skipping_) onLine(line, starts_, tooManyColumns_);
        StartLine();
    }

private:
    static constexpr std::size_t kChunk = kScanChunk;

    template <bool kAvx2, class OnLine>
    [[gnu::always_inline]] void FeedChunks(std::string_view bytes, OnLine& onLine) {
        lineBegin_ = 0;
        for (std::size_t base = 0; base < bytes.size(); base += kChunk) {
            const std::size_t count = std::min(kChunk, bytes.size() - base);
            const ScanMasks masks = MasksOf<kAvx2>(bytes.data() + base, count);
            const std::uint64_t inside = InsideQuotes(masks.Quotes);
            const std::uint64_t valid =
                count == kChunk ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
            std::uint64_t separators = masks.Separators & ~inside & valid;
            std::uint64_t ends = masks.LineEnds & ~inside & valid;
            while (ends != 0) {
                const int bit = std::countr_zero(ends);
                ends &= ends - 1;
                const std::uint64_t upToEnd = (std::uint64_t{2} << bit) - 1;
                OpenColumns(base, separators & upToEnd);
                separators &= ~upToEnd;
                const std::size_t position = base + static_cast<std::size_t>(bit);
                std::size_t next = position + 1;
                // The LF of a CR LF goes with its CR (across chunks it ends an empty line).
                if (bytes[position] == '\r' && (ends & (std::uint64_t{2} << bit)) != 0) {
                    ends &= ends - 1;
                    ++next;
                }
                EndLine(bytes, position, next, onLine);
            }
            OpenColumns(base, separators);
        }
        KeepUnfinishedLine(bytes, onLine);
    }

#if defined(TAVISTO_CSVSCAN_AVX2)
    template <class OnLine>
    [[gnu::target("avx2,bmi,popcnt")]] void FeedWithAvx2(std::string_view bytes, OnLine& onLine) {
        FeedChunks<true>(bytes, onLine);
    }
#endif

    // Bit i of the result: byte i lies inside quotes. Most chunks hold no quote, and keep the
    // state they start in without the prefix XOR.
    std::uint64_t InsideQuotes(std::uint64_t quotes) {
        if (quotes == 0) return insideCarry_;
        const std::uint64_t inside = PrefixXor(quotes) ^ insideCarry_;
        insideCarry_ = (inside >> (kChunk - 1)) != 0 ? ~std::uint64_t{0} : 0;
        return inside;
    }

    // Bit i of the result: the number of set bits of x at positions 0 to i is odd.
    static std::uint64_t PrefixXor(std::uint64_t x) {
        for (int shift = 1; shift < 64; shift *= 2) x ^= x << shift;
        return x;
    }

    template <bool kAvx2>
    [[gnu::always_inline]] ScanMasks MasksOf(const char* p, std::size_t count) const {
        // NUL is neither a quote, a line end nor a possible separator.
        char padded[kChunk];
        if (count < kChunk) {
            std::memset(padded, 0, kChunk);
            std::memcpy(padded, p, count);
            p = padded;
        }
#if defined(TAVISTO_CSVSCAN_AVX2)
        if constexpr (kAvx2) return Avx2ScanMasksOf(p, separator_);
#endif
        return ScanMasksOf(p, separator_);
    }

    // Position in the current line of the byte at position of the bytes being fed.
    std::size_t LinePosition(std::size_t position) const {
        return carry_.size() + position - lineBegin_;
    }

    void OpenColumn(std::size_t position) {
        if (starts_.Count == kMaxColumns) {
            tooManyColumns_ = true;
            return;
        }
        // A start past 16-bit range belongs to a line too long to be stored.
        starts_.Starts[static_cast<std::size_t>(starts_.Count++)] =
            static_cast<std::uint16_t>(LinePosition(position));
    }

    void OpenColumns(std::size_t base, std::uint64_t separators) {
        for (; separators != 0; separators &= separators - 1) {
            OpenColumn(base + static_cast<std::size_t>(std::countr_zero(separators)) + 1);
        }
    }

    // Ends the line at position; the next line begins at next.
    template <class OnLine>
    void EndLine(std::string_view bytes, std::size_t position, std::size_t next, OnLine& onLine) {
        if (position == lineBegin_ && carry_.empty() && !skipping_) {
            // An empty line, with nothing to hand out or to reset.
            lineBegin_ = next;
            return;
        }
        std::string_view line = bytes.substr(lineBegin_, position - lineBegin_);
        if (!carry_.empty()) {
            carry_.append(line);
            line = carry_;
        }
        if (!line.empty() && !skipping_) onLine(line, starts_, tooManyColumns_);
        lineBegin_ = next;
        StartLine();
    }

    template <class OnLine>
    void KeepUnfinishedLine(std::string_view bytes, OnLine& onLine) {
        if (skipping_) return;
        carry_.append(bytes.substr(lineBegin_));
        if (carry_.size() <= maxLineLength_) return;
        onLine(std::string_view(carry_), starts_, tooManyColumns_);
        // Only the end of this line is looked for from now on; its bytes are not kept.
        skipping_ = true;
        carry_.clear();
    }

    void StartLine() {
        carry_.clear();
        starts_.Count = 1;
        tooManyColumns_ = false;
        skipping_ = false;
    }

    char separator_;
    std::size_t maxLineLength_;
    std::uint64_t insideCarry_ = 0;
    std::size_t lineBegin_ = 0;
    std::string carry_;
    ColumnStarts starts_;
    bool tooManyColumns_ = false;
    bool skipping_ = false;
#if defined(TAVISTO_CSVSCAN_AVX2)
    bool avx2_ = false;
#endif
};

}  // namespace tavisto
