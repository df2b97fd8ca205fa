#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tavisto {

// The memory of a table's stored rows: large chunks handed out piece by piece, so that loading
// a file costs no allocation per line. Pieces are never returned one by one; Clear releases
// everything at once. Large chunks are aligned for and advised to use huge pages, which makes
// first touching them (the bulk of loading a big file) several times cheaper.
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
    Ref Allocate(std::size_t size);

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
        std::size_t alignment;
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
