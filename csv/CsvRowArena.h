#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tavisto {

// Large blocks are taken straight from the system, aligned to huge pages and advised to use
// them, which makes first touching them (the bulk of loading a big file) several times cheaper.
// Sizes are multiples of kHugePageSize. Raises std::bad_alloc.
inline constexpr std::size_t kHugePageSize = std::size_t{2} << 20;
std::byte* AllocateLargeBlock(std::size_t size);
void ReleaseLargeBlock(std::byte* block, std::size_t size) noexcept;

// Allocator of the row list: capacities of a huge page or more come from large blocks, so that
// the list of a million rows grows as cheaply as the rows themselves.
template <typename T>
class LargeBlockAllocator {
public:
    using value_type = T;

    LargeBlockAllocator() = default;
    template <typename U>
    explicit LargeBlockAllocator(const LargeBlockAllocator<U>& /*other*/) {}

    T* allocate(std::size_t count) {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kHugePageSize) return std::allocator<T>().allocate(count);
        return reinterpret_cast<T*>(AllocateLargeBlock(LargeSize(bytes)));
    }

    void deallocate(T* memory, std::size_t count) noexcept {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kHugePageSize) {
            std::allocator<T>().deallocate(memory, count);
        } else {
            ReleaseLargeBlock(reinterpret_cast<std::byte*>(memory), LargeSize(bytes));
        }
    }

    friend bool operator==(const LargeBlockAllocator&, const LargeBlockAllocator&) { return true; }

private:
    static std::size_t LargeSize(std::size_t bytes) {
        return (bytes + kHugePageSize - 1) / kHugePageSize * kHugePageSize;
    }
};

// The memory of a table's stored rows: large chunks handed out piece by piece, so that loading
// a file costs no allocation per line. Pieces are never returned one by one; Clear releases
// everything at once. Chunks grow with the table up to a few huge pages each; those of whole
// huge pages are large blocks.
// A piece is named by a 32-bit Ref (chunk number and offset), half the size of a pointer, which
// matters when a list holds one per row of a million-row table.
class CsvRowArena {
public:
    using Ref = std::uint32_t;
    static constexpr std::size_t kAlignment = 4;

    CsvRowArena() = default;
    CsvRowArena(const CsvRowArena&) = delete;
    CsvRowArena& operator=(const CsvRowArena&) = delete;

    // Room for size bytes, aligned to kAlignment, uninitialised. Raises std::bad_alloc, also
    // when the arena cannot name more memory (16 GiB).
    Ref Allocate(std::size_t size) {
        size = (size + kAlignment - 1) / kAlignment * kAlignment;
        if (chunks_.empty() || chunkSize_ - next_ < size) AddChunk(size);
        const auto ref =
            static_cast<Ref>(((chunks_.size() - 1) << kOffsetBits) | (next_ / kAlignment));
        next_ += size;
        used_ += size;
        return ref;
    }

    // The memory of a piece; valid until Clear.
    std::byte* At(Ref ref) const {
        return chunks_[ref >> kOffsetBits].get() + (std::size_t{ref & kOffsetMask} * kAlignment);
    }

    // Releases every chunk; all pieces handed out become invalid.
    void Clear();

    // Bytes of the chunks held, and bytes of them handed out.
    std::size_t BytesReserved() const { return reserved_; }
    std::size_t BytesUsed() const { return used_; }

private:
    static constexpr int kOffsetBits = 20;
    static constexpr Ref kOffsetMask = (Ref{1} << kOffsetBits) - 1;

    struct ReleaseChunk {
        std::size_t size;
        void operator()(std::byte* memory) const;
    };
    using Chunk = std::unique_ptr<std::byte[], ReleaseChunk>;

    void AddChunk(std::size_t atLeast);

    std::vector<Chunk> chunks_;
    std::size_t next_ = 0;       // offset of the free space in the last chunk
    std::size_t chunkSize_ = 0;  // size of the last chunk
    std::size_t reserved_ = 0;
    std::size_t used_ = 0;
};

}  // namespace tavisto
