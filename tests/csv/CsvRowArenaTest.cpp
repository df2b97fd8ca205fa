#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <random>
#include <vector>

#include "csv/CsvRowArena.h"

namespace tavisto {
namespace {

std::uintptr_t AddressOf(const void* memory) {
    return reinterpret_cast<std::uintptr_t>(memory);
}

// Fills a piece with bytes that name it, so that overlapping pieces show.
void Stamp(std::byte* piece, std::size_t size, std::size_t id) {
    for (std::size_t i = 0; i < size; ++i) piece[i] = static_cast<std::byte>((id * 31 + i) & 0xFF);
}

bool HasStamp(const std::byte* piece, std::size_t size, std::size_t id) {
    for (std::size_t i = 0; i < size; ++i) {
        if (piece[i] != static_cast<std::byte>((id * 31 + i) & 0xFF)) return false;
    }
    return true;
}

TEST(CsvRowArena, PiecesOfSmallAndLargeChunksKeepTheirBytes) {
    CsvRowArena arena;
    std::mt19937 random(77);
    std::uniform_int_distribution<std::size_t> size(1, 16384);
    struct Piece {
        CsvRowArena::Ref Ref;
        std::size_t Size;
    };
    std::vector<Piece> pieces;
    // Past the first huge-page chunks, so that both kinds of chunk hold pieces.
    while (arena.BytesReserved() < (std::size_t{12} << 20)) {
        const std::size_t bytes = size(random);
        pieces.push_back({arena.Allocate(bytes), bytes});
        std::byte* memory = arena.At(pieces.back().Ref);
        ASSERT_EQ(AddressOf(memory) % CsvRowArena::kAlignment, 0u);
        Stamp(memory, bytes, pieces.size());
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        ASSERT_TRUE(HasStamp(arena.At(pieces[i].Ref), pieces[i].Size, i + 1)) << "piece " << i;
    }
    EXPECT_LE(arena.BytesUsed(), arena.BytesReserved());
}

TEST(CsvRowArena, ClearReleasesEveryChunkAndStartsSmallAgain) {
    CsvRowArena arena;
    for (int i = 0; i < 100000; ++i) arena.Allocate(100);
    EXPECT_GE(arena.BytesReserved(), std::size_t{10'000'000});
    arena.Clear();
    EXPECT_EQ(arena.BytesReserved(), 0u);
    EXPECT_EQ(arena.BytesUsed(), 0u);
    Stamp(arena.At(arena.Allocate(10)), 10, 1);
    EXPECT_LT(arena.BytesReserved(), std::size_t{1} << 20);
}

TEST(CsvRowArena, APieceLargerThanAChunkIsRefused) {
    CsvRowArena arena;
    EXPECT_THROW(arena.Allocate((std::size_t{4} << 20) + 1), std::bad_alloc);
    Stamp(arena.At(arena.Allocate(std::size_t{4} << 20)), std::size_t{4} << 20, 2);
}

TEST(LargeBlocks, AreAlignedToHugePagesAndWritableToTheirEnd) {
    const std::size_t size = 3 * kHugePageSize;
    std::byte* block = AllocateLargeBlock(size);
    EXPECT_EQ(AddressOf(block) % kHugePageSize, 0u);
    std::memset(block, 0x5A, size);
    EXPECT_EQ(block[size - 1], std::byte{0x5A});
    ReleaseLargeBlock(block, size);
}

TEST(LargeBlockAllocator, AListGrowingPastAHugePageKeepsItsValues) {
    std::vector<std::uint32_t, LargeBlockAllocator<std::uint32_t>> values;
    const std::uint32_t count = 1'500'000;
    for (std::uint32_t i = 0; i < count; ++i) values.push_back(i * 3);
    EXPECT_EQ(AddressOf(values.data()) % kHugePageSize, 0u);
    for (std::uint32_t i = 0; i < count; ++i) ASSERT_EQ(values[i], i * 3);
    // Shrinking back below a huge page moves the values to small memory again.
    values.resize(1000);
    values.shrink_to_fit();
    const std::vector<std::uint32_t, LargeBlockAllocator<std::uint32_t>> copy = values;
    EXPECT_EQ(copy, values);
    EXPECT_EQ(copy.back(), 999u * 3);
}

}  // namespace
}  // namespace tavisto
