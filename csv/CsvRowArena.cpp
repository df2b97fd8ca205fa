#include "csv/CsvRowArena.h"

#include <algorithm>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tavisto {

namespace {

constexpr std::size_t kSmallestChunk = std::size_t{64} << 10;
// Offsets within a chunk must fit a Ref; this also bounds what the last, partly used chunk
// holds unused.
constexpr std::size_t kLargestChunk = std::size_t{4} << 20;
constexpr std::size_t kMaxChunks = std::size_t{1} << 12;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kSmallChunkAlignment = 64;

std::size_t RoundUp(std::size_t value, std::size_t step) {
    return (value + step - 1) / step * step;
}

void AdviseHugePages([[maybe_unused]] std::byte* memory, [[maybe_unused]] std::size_t size) {
#if defined(MADV_HUGEPAGE)
    // Advice only: without huge pages the memory works the same, just slower to touch.
    madvise(memory, size, MADV_HUGEPAGE);
#endif
}

}  // namespace

void CsvRowArena::ReleaseChunk::operator()(std::byte* memory) const {
    ::operator delete[](memory, std::align_val_t{alignment});
}

CsvRowArena::Ref CsvRowArena::Allocate(std::size_t size) {
    size = RoundUp(size, kAlignment);
    if (chunks_.empty() || chunkSize_ - next_ < size) AddChunk(size);
    const auto ref = static_cast<Ref>(((chunks_.size() - 1) << kOffsetBits) | (next_ / kAlignment));
    next_ += size;
    used_ += size;
    return ref;
}

void CsvRowArena::AddChunk(std::size_t atLeast) {
    if (chunks_.size() == kMaxChunks || atLeast > kLargestChunk) throw std::bad_alloc();
    // Chunks grow with the table so that small tables stay small.
    const std::size_t size = std::max(std::clamp(reserved_, kSmallestChunk, kLargestChunk),
                                      RoundUp(atLeast, kSmallestChunk));
    const bool huge = size % kHugePage == 0;
    const std::size_t alignment = huge ? kHugePage : kSmallChunkAlignment;
    Chunk chunk(static_cast<std::byte*>(::operator new[](size, std::align_val_t{alignment})),
                ReleaseChunk{alignment});
    if (huge) AdviseHugePages(chunk.get(), size);
    chunks_.push_back(std::move(chunk));
    next_ = 0;
    chunkSize_ = size;
    reserved_ += size;
}

void CsvRowArena::Clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    next_ = 0;
    chunkSize_ = 0;
    reserved_ = 0;
    used_ = 0;
}

}  // namespace tavisto
