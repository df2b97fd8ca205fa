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
constexpr std::size_t kSmallChunkAlignment = 64;

std::size_t RoundUp(std::size_t value, std::size_t step) {
    return (value + step - 1) / step * step;
}

bool IsLarge(std::size_t chunkSize) {
    return chunkSize % kHugePageSize == 0;
}

}  // namespace

#if defined(__linux__)

std::byte* AllocateLargeBlock(std::size_t size) {
    // The system aligns a mapping to its small pages only: map a huge page more than needed and
    // give back what lies before and after the aligned block.
    const std::size_t mappedSize = size + kHugePageSize;
    void* mapped =
        mmap(nullptr, mappedSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    auto* start = static_cast<std::byte*>(mapped);
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    std::byte* block = start + (RoundUp(address, kHugePageSize) - address);
    if (block != start) munmap(start, static_cast<std::size_t>(block - start));
    std::byte* blockEnd = block + size;
    if (blockEnd != start + mappedSize) {
        munmap(blockEnd, static_cast<std::size_t>(start + mappedSize - blockEnd));
    }
    // Advice only: without huge pages the memory works the same, just slower to touch.
    madvise(block, size, MADV_HUGEPAGE);
    return block;
}

void ReleaseLargeBlock(std::byte* block, std::size_t size) noexcept {
    munmap(block, size);
}

#else

std::byte* AllocateLargeBlock(std::size_t size) {
    return static_cast<std::byte*>(::operator new[](size, std::align_val_t{kHugePageSize}));
}

void ReleaseLargeBlock(std::byte* block, std::size_t /*size*/) noexcept {
    ::operator delete[](block, std::align_val_t{kHugePageSize});
}

#endif

void CsvRowArena::ReleaseChunk::operator()(std::byte* memory) const {
    if (IsLarge(size)) {
        ReleaseLargeBlock(memory, size);
    } else {
        ::operator delete[](memory, std::align_val_t{kSmallChunkAlignment});
    }
}

void CsvRowArena::AddChunk(std::size_t atLeast) {
    if (chunks_.size() == kMaxChunks || atLeast > kLargestChunk) throw std::bad_alloc();
    // Chunks grow with the table so that small tables stay small.
    const std::size_t size = std::max(std::clamp(reserved_, kSmallestChunk, kLargestChunk),
                                      RoundUp(atLeast, kSmallestChunk));
    std::byte* memory = IsLarge(size) ? AllocateLargeBlock(size)
                                      : static_cast<std::byte*>(::operator new[](
                                            size, std::align_val_t{kSmallChunkAlignment}));
    Chunk chunk(memory, ReleaseChunk{size});
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
