#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "csv/CsvErrors.h"
#include "csv/CsvParse.h"
#include "csv/CsvStream.h"
#include "platform/FileSystem.h"

namespace tavisto {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBlock = TCsvStream::kBlockSize;

// Where the blocks of a file that fills them end: the first after kBlockSize bytes, each next
// one twice as large up to kLargestBlockSize.
std::vector<std::size_t> BlockEdges(std::size_t count) {
    std::vector<std::size_t> edges;
    std::size_t block = kBlock;
    std::size_t edge = 0;
    for (std::size_t i = 0; i < count; ++i) {
        edge += block;
        edges.push_back(edge);
        block = std::min(2 * block, TCsvStream::kLargestBlockSize);
    }
    return edges;
}

// A folder of its own for each test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        path_ = fs::temp_directory_path() / ("tavisto-csvstream-" + std::to_string(seed()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

    std::string Write(const std::string& name, const std::string& bytes) const {
        const fs::path file = path_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

private:
    fs::path path_;
};

std::string ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every line the reader hands out, the way the loader asks for them.
std::vector<std::string> ReadAllLines(const std::string& file) {
    TCsvStream reader(file, TCsvStream::Mode::Read);
    std::vector<std::string> lines;
    while (!reader.AtEnd()) lines.emplace_back(reader.ReadLine());
    return lines;
}

struct ReadCase {
    const char* name;
    std::string content;
    std::vector<std::string> lines;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadLineTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadLineTest, CutsTheFileIntoLines) {
    TempFolder folder;
    EXPECT_EQ(ReadAllLines(folder.Write("t.csv", GetParam().content)), GetParam().lines);
}

std::string Repeat(char c, std::size_t count) {
    return std::string(count, c);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadLineTest,
    testing::Values(ReadCase{"Empty", "", {}},
                    ReadCase{"MixedTerminators", "a;b\rc;d\ne;f\r\n", {"a;b", "c;d", "e;f"}},
                    ReadCase{"NoFinalTerminator", "a\nb", {"a", "b"}},
                    ReadCase{"EmptyLines", "a\n\n\r\n\rb\n", {"a", "", "", "", "b"}},
                    ReadCase{"OnlyTerminator", "\r\n", {""}}, ReadCase{"FinalCr", "x\r", {"x"}},
                    ReadCase{"LfCrIsTwoTerminators", "a\n\rb", {"a", "", "b"}},
                    ReadCase{"QuotedCrLf", "\"x\r\ny\";z\r\nnext", {"\"x\r\ny\";z", "next"}},
                    ReadCase{"UnclosedQuoteRunsToEnd", "a\"b\r\nc\n", {"a\"b\r\nc\n"}},
                    ReadCase{"EveryQuoteToggles", "\"a\\\"\nb", {"\"a\\\"", "b"}},
                    ReadCase{"DoubledQuoteInsideQuotes", "\"a\"\"\nb\"\nc", {"\"a\"\"\nb\"", "c"}},
                    ReadCase{"CrLfAcrossBlocks",
                             Repeat('x', kBlock - 1) + "\r\nnext",
                             {Repeat('x', kBlock - 1), "next"}},
                    ReadCase{"CrEndsBlockThenText",
                             Repeat('x', kBlock - 1) + "\rnext",
                             {Repeat('x', kBlock - 1), "next"}},
                    ReadCase{"CrEndsFileAtBlockEdge",
                             Repeat('x', kBlock - 1) + "\r",
                             {Repeat('x', kBlock - 1)}},
                    ReadCase{"LfEndsFileAtBlockEdge",
                             Repeat('x', kBlock - 1) + "\n",
                             {Repeat('x', kBlock - 1)}},
                    ReadCase{"ShortLineBeforeBlockEdge",
                             "ab\r" + Repeat('y', kBlock - 4) + "\r\nz",
                             {"ab", Repeat('y', kBlock - 4), "z"}},
                    ReadCase{"LineOverThreeBlocks",
                             Repeat('w', BlockEdges(2)[1] + 100) + "\nend",
                             {Repeat('w', BlockEdges(2)[1] + 100), "end"}},
                    ReadCase{"CrLfAcrossALaterBlockEdge",
                             Repeat('x', BlockEdges(2)[1] - 1) + "\r\nnext",
                             {Repeat('x', BlockEdges(2)[1] - 1), "next"}},
                    ReadCase{"QuotedCrLfAcrossBlocks",
                             "\"" + Repeat('q', kBlock - 2) + "\r\nq\"\r\nlast",
                             {"\"" + Repeat('q', kBlock - 2) + "\r\nq\"", "last"}},
                    ReadCase{"EmptyLineAtBlockEdge",
                             Repeat('e', kBlock - 2) + "\r\n\r\nf",
                             {Repeat('e', kBlock - 2), "", "f"}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(ReadLine, HandsOutAnEmptyLineAtTheEnd) {
    TempFolder folder;
    TCsvStream reader(folder.Write("t.csv", "only\n"), TCsvStream::Mode::Read);
    EXPECT_EQ(reader.ReadLine(), "only");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_TRUE(reader.AtEnd());
}

TEST(ReadLine, ReadsManyLinesInFileOrder) {
    TempFolder folder;
    std::string content;
    std::vector<std::string> expected;
    for (int i = 0; i < 5000; ++i) {
        expected.push_back("KA" + std::to_string(i) + ";2024-01-01 10:00:00;App;User" +
                           Repeat('u', static_cast<std::size_t>(i % 37)));
        content += expected.back() + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    }
    EXPECT_EQ(ReadAllLines(folder.Write("t.csv", content)), expected);
}

// The line-end rule one character at a time, as stated; the reader's fast way through the
// buffer and its way across blocks must both give these lines.
std::vector<std::string> ReferenceLines(const std::string& content) {
    std::vector<std::string> lines;
    std::string line;
    bool inQuotes = false;
    bool lineOpen = false;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if ((c == '\r' || c == '\n') && !inQuotes) {
            lines.push_back(line);
            line.clear();
            lineOpen = false;
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
            continue;
        }
        if (c == '"') inQuotes = !inQuotes;
        line += c;
        lineOpen = true;
    }
    if (lineOpen) lines.push_back(line);
    return lines;
}

TEST(ReadLine, AgreesWithTheRuleOnRandomFilesOfSeveralBlocks) {
    TempFolder folder;
    std::mt19937 random(4711);
    std::uniform_int_distribution<int> percent(0, 99);
    const std::vector<std::size_t> edges = BlockEdges(5);
    for (int round = 0; round < 12; ++round) {
        // Quotes are rare in some files (most lines take the fast way) and frequent in others.
        const int quoteShare = round % 2 == 0 ? 1 : 8;
        std::string content;
        while (content.size() < edges.back() + kBlock) {
            const int roll = percent(random);
            if (roll < quoteShare)
                content += '"';
            else if (roll < quoteShare + 2)
                content += "\r\n";
            else if (roll < quoteShare + 3)
                content += '\r';
            else if (roll < quoteShare + 4)
                content += '\n';
            else
                content += roll % 2 == 0 ? ';' : 'k';
        }
        // A CR LF across the first block edges, a lone CR or LF before the later ones.
        for (std::size_t i = 0; i < edges.size(); ++i) {
            if (i < 3) {
                content.replace(edges[i] - 1, 2, "\r\n");
            } else {
                content[edges[i] - 1] = round % 2 == 0 ? '\r' : '\n';
            }
        }
        const std::string name = folder.Write("r" + std::to_string(round) + ".csv", content);
        ASSERT_EQ(ReadAllLines(name), ReferenceLines(content)) << "round " << round;
    }
}

TEST(ReadBlock, BlocksGrowWhileTheFileFillsThemAndEndWithIt) {
    TempFolder folder;
    const std::vector<std::size_t> edges = BlockEdges(6);
    const std::string content = Repeat('b', edges.back() + 10);
    TCsvStream reader(folder.Write("blocks.csv", content), TCsvStream::Mode::Read);
    std::vector<std::size_t> ends;
    std::string bytes;
    for (std::string_view block = reader.ReadBlock(); !block.empty(); block = reader.ReadBlock()) {
        bytes += block;
        ends.push_back(bytes.size());
    }
    std::vector<std::size_t> expected = edges;
    expected.push_back(content.size());
    EXPECT_EQ(ends, expected);
    EXPECT_EQ(bytes, content);
    EXPECT_TRUE(reader.AtEnd());
}

// A file that ends exactly where a block ends: the read after it finds nothing, which is the end.
TEST(ReadLine, FilesEndingOnABlockEdgeAreReadToTheirEnd) {
    TempFolder folder;
    for (const std::size_t size : BlockEdges(4)) {
        std::string content;
        while (content.size() < size) content += "k;k;kk\r\n";
        ASSERT_EQ(content.size(), size);
        TCsvStream reader(folder.Write("edge.csv", content), TCsvStream::Mode::Read);
        std::size_t lines = 0;
        while (!reader.AtEnd()) {
            ASSERT_EQ(reader.ReadLine(), "k;k;kk") << "size " << size << " line " << lines;
            ++lines;
        }
        EXPECT_EQ(lines, size / 8);
    }
}

TEST(TCsvStreamErrors, AReadFailureIsNotTakenForTheEnd) {
    TempFolder folder;
    const std::string name = folder.Path().string();
    // A folder opens on POSIX but refuses to be read.
    TCsvStream reader(name, TCsvStream::Mode::Read);
    try {
        reader.ReadLine();
        FAIL() << "no error";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), "Can't read CSV file " + name);
    }
}

TEST(TCsvStreamErrors, AMissingFileCannotBeOpened) {
    TempFolder folder;
    const std::string name = (folder.Path() / "missing.csv").string();
    EXPECT_THROW(TCsvStream(name, TCsvStream::Mode::Read), EInOutError);
    EXPECT_THROW(TCsvStream((folder.Path() / "no" / "x.csv").string(), TCsvStream::Mode::Write),
                 EInOutError);
}

TEST(WriteLine, EndsEveryLineWithCrLfAndEmptiesTheFileFirst) {
    TempFolder folder;
    const std::string name = folder.Write("w.csv", "old content that must go");
    TCsvStream writer(name, TCsvStream::Mode::Write);
    writer.WriteLine("a;b");
    writer.WriteLine("");
    writer.WriteLine("\"x\r\ny\"");
    writer.Close();
    EXPECT_EQ(ReadBytes(name), "a;b\r\n\r\n\"x\r\ny\"\r\n");
}

TEST(WriteLine, AFullDeviceIsReportedOnClose) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    TCsvStream writer("/dev/full", TCsvStream::Mode::Write);
    writer.WriteLine("a;b");
    try {
        writer.Close();
        FAIL() << "no error";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), "Can't write CSV file /dev/full");
    }
}

// Fields of any content, quoted and written, come back unchanged through reader and cutter.
TEST(FileRoundTrip, QuotedFieldsSurviveWritingAndReading) {
    TempFolder folder;
    const std::string name = (folder.Path() / "round.csv").string();
    std::mt19937 random(90210);
    const std::string alphabet = "ab;\"\\\r\n\t x";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 300);
    std::vector<std::string> fields(2000);
    for (std::string& field : fields) {
        field.resize(static_cast<std::size_t>(length(random)));
        for (char& c : field) c = alphabet[pick(random)];
    }
    bool enquoteBackslash = false;
    for (const std::string& field : fields) EnquoteText(field, enquoteBackslash);
    TCsvStream writer(name, TCsvStream::Mode::Write);
    for (std::size_t i = 0; i < fields.size(); i += 2) {
        writer.WriteLine(EnquoteText(fields[i], enquoteBackslash) + ";" +
                         EnquoteText(fields[i + 1], enquoteBackslash));
    }
    writer.Close();

    const std::vector<std::string> lines = ReadAllLines(name);
    ASSERT_EQ(lines.size(), fields.size() / 2);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ColumnStarts starts = SplitLineIntoColumns(lines[i], ';', true, enquoteBackslash);
        ASSERT_EQ(starts.Count, 2) << lines[i];
        const std::string first = lines[i].substr(0, starts.Starts[1] - 1);
        const std::string second = lines[i].substr(starts.Starts[1]);
        EXPECT_EQ(DequoteText(first, enquoteBackslash), fields[2 * i]);
        EXPECT_EQ(DequoteText(second, enquoteBackslash), fields[2 * i + 1]);
    }
}

}  // namespace
}  // namespace tavisto
