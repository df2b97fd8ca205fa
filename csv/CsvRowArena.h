#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace tavisto {

// The memory of a table's stored rows: large chunks handed out piece by piece, so that loading
// a file costs no allocation per line. Pieces are never returned one by one; Clear releases
// everything at once. Large chunks are aligned for and advised to use huge pages, which makes
// first touching them (the bulk of loading a big file) several times cheaper.
class CsvRowArena {
public:
    static constexpr std::size_t kAlignment = 4;

    CsvRowArena() = default;
    CsvRowArena(const CsvRowArena&) = delete;
    CsvRowArena& operator=(const CsvRowArena&) = delete;

    // Room for size bytes, aligned to kAlignment, uninitialised. Raises std::bad_alloc.
    std::byte* Allocate(std::size_t size);

    // Releases every chunk; all pieces handed out become invalid.
    void Clear();

    // Bytes of the chunks held, and bytes of them handed out.
    std::size_t BytesReserved() const { return reserved_; }
    std::size_t BytesUsed() const { return used_; }

private:
    struct ReleaseChunk {
        std::size_t alignment;
        void operator()(std::byte* memory) const;
    };
    using Chunk = std::unique_ptr<std::byte[], ReleaseChunk>;

    void AddChunk(std::size_t atLeast);

    std::vector<Chunk> chunks_;
    std::byte* next_ = nullptr;
    std::byte* end_ = nullptr;
    std::size_t reserved_ = 0;
    std::size_t used_ = 0;
};

}  // namespace tavisto
