// The loader's one-pass scanner against the reference road of a line: the line reader, the
// loader's stripping and skipping of empty lines, and SplitLineIntoColumns.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "CsvDataTestSupport.h"
#include "csv/CsvDataScan.h"
#include "csv/CsvParse.h"
#include "csv/CsvStream.h"

namespace tavisto {
namespace {

struct CutLine {
    std::string Text;
    std::vector<int> Starts;  // empty when the line has too many columns
    bool operator==(const CutLine&) const = default;
};

void PrintTo(const CutLine& line, std::ostream* out) {
    *out << testing::PrintToString(line.Text) << " " << testing::PrintToString(line.Starts);
}

std::vector<int> StartsOf(const ColumnStarts& starts) {
    return {starts.Starts.begin(), starts.Starts.begin() + starts.Count};
}

// Feeds bytes in pieces of the given sizes (cycled), as blocks of a file would come.
std::vector<CutLine> Scan(const std::string& bytes, char separator,
                          const std::vector<std::size_t>& pieces, std::size_t maxLength = 16382,
                          bool useAvx2 = true) {
    CsvLineScanner scanner(separator, maxLength, useAvx2);
    std::vector<CutLine> lines;
    const auto onLine = [&](std::string_view line, const ColumnStarts& starts, bool tooMany) {
        lines.push_back({std::string(line), tooMany ? std::vector<int>{} : StartsOf(starts)});
    };
    std::size_t at = 0;
    for (std::size_t i = 0; at < bytes.size(); ++i) {
        const std::size_t size = pieces[i % pieces.size()];
        scanner.Feed(std::string_view(bytes).substr(at, size), onLine);
        at += size;
    }
    scanner.Finish(onLine);
    return lines;
}

std::vector<CutLine> Reference(const std::string& bytes, char separator) {
    csvtest::TempFolder folder;
    TCsvStream reader(folder.Write("lines.csv", bytes), TCsvStream::Mode::Read);
    std::vector<CutLine> lines;
    while (!reader.AtEnd()) {
        const std::string_view line = StripLineBreaks(reader.ReadLine());
        if (line.empty()) continue;
        try {
            lines.push_back(
                {std::string(line), StartsOf(SplitLineIntoColumns(line, separator, true, false))});
        } catch (const ERangeError&) {
            lines.push_back({std::string(line), {}});
        }
    }
    return lines;
}

TEST(CsvLineScanner, AgreesWithTheLineReaderAndTheCutterOnRandomText) {
    std::mt19937 random(20061211);
    const std::string alphabet = "ab;;\"\"\r\n \t,";
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        const int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) bytes += alphabet[random() % alphabet.size()];
        const std::vector<std::size_t> pieces = {1 + random() % 130, 1 + random() % 7, 64};
        const std::vector<CutLine> reference = Reference(bytes, ';');
        ASSERT_EQ(Scan(bytes, ';', pieces), reference)
            << "round " << round << " bytes: " << testing::PrintToString(bytes);
        ASSERT_EQ(Scan(bytes, ';', pieces, 16382, false), reference)
            << "without AVX2, round " << round << " bytes: " << testing::PrintToString(bytes);
    }
}

// Text like a log's: long runs without quotes, inside and outside quoted sections, with quotes
// and CR LF pairs often put at the edges of 64-byte chunks.
std::string LogLikeText(std::mt19937& random) {
    const std::string plain = "abc;;; \t,\n\r\n";
    std::string bytes;
    const int pieces = static_cast<int>(random() % 12);
    for (int piece = 0; piece < pieces; ++piece) {
        switch (random() % 5) {
            case 0:
            case 1: {
                const std::size_t run = random() % 300;
                for (std::size_t i = 0; i < run; ++i) bytes += plain[random() % plain.size()];
                break;
            }
            case 2:
                // Up to a chunk edge, give or take a byte.
                bytes.append(64 - bytes.size() % 64 - 1 + random() % 3, 'x');
                break;
            case 3:
                bytes += '"';
                break;
            default:
                bytes += "\r\n";
                break;
        }
    }
    return bytes;
}

TEST(CsvLineScanner, AgreesWithTheReferenceOnLongRunsWithoutQuotes) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 400; ++round) {
        const std::string bytes = LogLikeText(random);
        const std::vector<std::size_t> pieces = {64, 1 + random() % 200, 64 * (1 + random() % 4)};
        const std::vector<CutLine> reference = Reference(bytes, ';');
        ASSERT_EQ(Scan(bytes, ';', pieces), reference)
            << "round " << round << " bytes: " << testing::PrintToString(bytes);
        ASSERT_EQ(Scan(bytes, ';', pieces, 16382, false), reference)
            << "without AVX2, round " << round << " bytes: " << testing::PrintToString(bytes);
    }
}

TEST(CsvLineScanner, QuoteFreeChunksKeepTheQuoteStateTheyStartIn) {
    const std::string inside =
        "a;\"" + std::string(200, 'b') + "\nc;d\r\n" + std::string(100, 'e') + "\";f\n";
    const std::vector<CutLine> expected = {{inside.substr(0, inside.size() - 1), {0, 2, 311}},
                                           {"g;h", {0, 2}}};
    EXPECT_EQ(Scan(inside + "g;h\n", ';', {64}), expected);
    EXPECT_EQ(Scan(inside + "g;h\n", ';', {4096}, 16382, false), expected);
}

TEST(CsvLineScanner, QuotedSeparatorsAndLineBreaksStayInTheirColumn) {
    const std::string bytes = "a;\"b;c\r\nd\";e\r\n\"x\"\"y\";z\n\n";
    const std::vector<CutLine> expected = {{"a;\"b;c\r\nd\";e", {0, 2, 11}},
                                           {"\"x\"\"y\";z", {0, 7}}};
    EXPECT_EQ(Scan(bytes, ';', {4096}), expected);
    EXPECT_EQ(Scan(bytes, ';', {1}), expected);
}

TEST(CsvLineScanner, LastLineInsideOpenQuotesLosesItsTrailingBreaks) {
    EXPECT_EQ(Scan("a\n\"b;c\r\n", ';', {3}), (std::vector<CutLine>{{"a", {0}}, {"\"b;c", {0}}}));
}

TEST(CsvLineScanner, ColumnLimitIsReportedNotCut) {
    const std::string full(kMaxColumns - 1, ';');
    const std::string over(kMaxColumns, ';');
    const std::vector<CutLine> lines = Scan(full + "\n" + over + "\n", ';', {50});
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Starts.size(), static_cast<std::size_t>(kMaxColumns));
    EXPECT_TRUE(lines[1].Starts.empty());
}

TEST(CsvLineScanner, LongLineIsHandedOutOnceItPassesTheLimitWithoutKeepingItAll) {
    std::string bytes = "ok\n\"";
    bytes += std::string(100'000, 'x');
    bytes += "\"\nnext\n";
    const std::vector<CutLine> lines = Scan(bytes, ';', {8192}, 16382);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Scan(bytes, ';', {100'005}, 16382).back().Text, "next")
        << "the long line's end at the start of a piece";
    EXPECT_EQ(lines[0].Text, "ok");
    EXPECT_GT(lines[1].Text.size(), 16382u);
    EXPECT_LT(lines[1].Text.size(), 16382u + 8192u);
    EXPECT_EQ(lines[1].Text.substr(0, 3), "\"xx");
    EXPECT_EQ(lines[2].Text, "next");
}

}  // namespace
}  // namespace tavisto
