#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "csv/CsvParse.h"
#include "platform/Exceptions.h"

namespace tavisto {
namespace {

const std::string kTooManyColumns =
    "CsvData - Internal Limit of MAXCOLUMNS (120) reached. CSV Data has too many columns";

std::vector<int> StartsOf(std::string_view text, char separator, bool quoteAware,
                          bool backslashEscapes) {
    const ColumnStarts starts = SplitLineIntoColumns(text, separator, quoteAware, backslashEscapes);
    return {starts.Starts.begin(), starts.Starts.begin() + starts.Count};
}

// The column texts as the row store cuts them: up to the separator that opens the next column.
std::vector<std::string> ColumnsOf(std::string_view text, char separator, bool quoteAware,
                                   bool backslashEscapes) {
    const std::vector<int> starts = StartsOf(text, separator, quoteAware, backslashEscapes);
    std::vector<std::string> columns;
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] - 1 : text.size();
        columns.emplace_back(text.substr(starts[k], end - starts[k]));
    }
    return columns;
}

struct SplitCase {
    const char* name;
    std::string text;
    char separator;
    bool quoteAware;
    bool backslashEscapes;
    std::vector<int> starts;
};

void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << c.name;
}

class SplitLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLineTest, FindsColumnStarts) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(StartsOf(c.text, c.separator, c.quoteAware, c.backslashEscapes), c.starts);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitLineTest,
    testing::Values(SplitCase{"ThreeColumns", "a;b;c", ';', true, false, {0, 2, 4}},
                    SplitCase{"TrailingSeparator", "a;b;", ';', true, false, {0, 2, 4}},
                    SplitCase{"EmptyLine", "", ';', true, false, {0}},
                    SplitCase{"EmptyMiddle", "a;;c", ';', true, false, {0, 2, 3}},
                    SplitCase{"QuotedSeparator", "\"x;y\";z", ';', true, false, {0, 6}},
                    SplitCase{"QuotedSeparatorPlain", "\"x;y\";z", ';', false, false, {0, 3, 6}},
                    SplitCase{"DoubledQuote", "\"a\"\"b\";c", ';', true, false, {0, 7}},
                    SplitCase{"QuoteInsideUnquotedField", "abc\"def;ghi", ';', true, false, {0}},
                    SplitCase{"QuoteThenText", "\"ab\"cd;e", ';', true, false, {0, 7}},
                    SplitCase{"QuotePairOutsideQuotes", "a\"\"b;c", ';', true, false, {0, 5}},
                    SplitCase{"EscapedQuoteKeepsSection", "\"a\\\";b\";c", ';', true, true, {0, 8}},
                    SplitCase{"BackslashWithoutEscapes", "\"a\\\";b\";c", ';', true, false, {0, 5}},
                    SplitCase{"BackslashOutsideQuotes", "a\\;b", ';', true, true, {0, 3}},
                    SplitCase{"EscapedBackslashThenClose", "\"a\\\\\";b", ';', true, true, {0, 6}},
                    SplitCase{"UnclosedQuote", "\"abc;def", ';', true, false, {0}},
                    SplitCase{"TabSeparator", "a\tb\t\"c\td\"", '\t', true, false, {0, 2, 4}},
                    SplitCase{"CommaSeparator", "1,\"2,5\",x", ',', true, false, {0, 2, 8}},
                    SplitCase{"QuotedCrLf", "\"x\r\ny\";z", ';', true, false, {0, 7}},
                    SplitCase{"SeparatorsPastSixteenBytes",
                              "0123456789abcdefgh;ij;\"k;l\";m",
                              ';',
                              true,
                              false,
                              {0, 19, 22, 28}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

TEST(SplitLineColumnTexts, KeepQuotesAndBlanks) {
    EXPECT_EQ(ColumnsOf("a; \"b;c\" ;d", ';', true, false),
              (std::vector<std::string>{"a", " \"b;c\" ", "d"}));
    EXPECT_EQ(ColumnsOf("\"a\"\"b\";c", ';', true, false),
              (std::vector<std::string>{"\"a\"\"b\"", "c"}));
    EXPECT_EQ(ColumnsOf("\"a\\\";b\";c", ';', true, false),
              (std::vector<std::string>{"\"a\\\"", "b\";c"}));
}

std::string JoinedColumns(int columns) {
    std::string line;
    for (int k = 0; k < columns; ++k) line += (k == 0 ? "" : ";") + std::to_string(k);
    return line;
}

TEST(SplitLineLimits, HundredTwentyColumnsAreCut) {
    const std::vector<int> starts = StartsOf(JoinedColumns(120), ';', true, false);
    ASSERT_EQ(starts.size(), 120u);
    EXPECT_EQ(starts[119], static_cast<int>(JoinedColumns(119).size()) + 1);
}

TEST(SplitLineLimits, HundredTwentyFirstColumnRaisesInBothModes) {
    for (const bool quoteAware : {true, false}) {
        try {
            SplitLineIntoColumns(JoinedColumns(121), ';', quoteAware, false);
            FAIL() << "no error for 121 columns";
        } catch (const ERangeError& error) {
            EXPECT_EQ(error.Message(), kTooManyColumns);
        }
    }
}

TEST(SplitLineLimits, SeparatorsInsideQuotesDoNotCount) {
    const std::string line = "\"" + std::string(200, ';') + "\";x";
    EXPECT_EQ(StartsOf(line, ';', true, false).size(), 2u);
    EXPECT_THROW(SplitLineIntoColumns(line, ';', false, false), ERangeError);
}

struct LengthCase {
    const char* name;
    std::string text;
    bool raises;
};

void PrintTo(const LengthCase& c, std::ostream* out) {
    *out << c.name;
}

class SplitLineLengthTest : public testing::TestWithParam<LengthCase> {};

TEST_P(SplitLineLengthTest, RefusesTextsFromPosition16384) {
    const LengthCase& c = GetParam();
    if (c.raises) {
        EXPECT_THROW(SplitLineIntoColumns(c.text, ';', true, true), ERangeError);
    } else {
        EXPECT_NO_THROW(SplitLineIntoColumns(c.text, ';', true, true));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, SplitLineLengthTest,
    testing::Values(LengthCase{"Length16383", std::string(16383, 'x'), false},
                    LengthCase{"Length16384", std::string(16384, 'x'), true},
                    LengthCase{"SeparatorAtLastPosition", std::string(16382, 'x') + ";", false},
                    // Every character from position 16384 on is passed over by an escape; the
                    // line is still too long for a row.
                    LengthCase{"EscapedTail", "\"" + std::string(16381, 'x') + "\\\\\\\\", true}),
    [](const testing::TestParamInfo<LengthCase>& info) { return info.param.name; });

// The cutting rules applied one character at a time, exactly as stated; the real cutter skips
// ahead over characters no rule acts on and must give the same starts.
std::vector<int> ReferenceStarts(std::string_view text, char separator, bool quoteAware,
                                 bool backslashEscapes) {
    std::vector<int> starts{0};
    bool inQuotes = false;
    bool skipNext = false;
    for (std::size_t p = 0; p < text.size(); ++p) {
        const char c = text[p];
        if (quoteAware && inQuotes) {
            if (!skipNext && backslashEscapes && c == '\\') {
                skipNext = true;
                continue;
            }
            if (!skipNext && c == '"' && p + 1 < text.size() && text[p + 1] == '"') {
                skipNext = true;
                continue;
            }
            if (skipNext) {
                skipNext = false;
                continue;
            }
        }
        if (quoteAware && c == '"') inQuotes = !inQuotes;
        if (c == separator && !inQuotes) starts.push_back(static_cast<int>(p) + 1);
    }
    return starts;
}

TEST(SplitLineRandom, AgreesWithCharacterByCharacterRules) {
    std::mt19937 random(20240611);
    const std::string alphabet = "ab;;\"\"\\ \t,";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 90);
    for (int round = 0; round < 5000; ++round) {
        std::string line(static_cast<std::size_t>(length(random)), ' ');
        for (char& c : line) c = alphabet[pick(random)];
        for (const bool quoteAware : {true, false}) {
            for (const bool backslash : {true, false}) {
                ASSERT_EQ(StartsOf(line, ';', quoteAware, backslash),
                          ReferenceStarts(line, ';', quoteAware, backslash))
                    << "line [" << line << "] quoteAware " << quoteAware << " backslash "
                    << backslash;
            }
        }
    }
}

// Lines as files hold them: long, most without any quote, some with many separators. Such lines
// take the cutter's 16-byte way unless a quote or the column limit sends them the rules' way; both
// ways must give the starts (or the error) of the rules.
TEST(SplitLineRandom, MostlyUnquotedLinesAgreeWithTheRules) {
    std::mt19937 random(20061211);
    std::uniform_int_distribution<int> length(0, 300);
    std::uniform_int_distribution<int> percent(0, 99);
    for (int round = 0; round < 4000; ++round) {
        // Each line has its own share of separators (up to a third) and of quotes (often none).
        const int separatorShare = percent(random) / 3;
        const int quoteShare = round % 3 == 0 ? 2 : 0;
        std::string line(static_cast<std::size_t>(length(random)), 'a');
        for (char& c : line) {
            const int roll = percent(random);
            if (roll < separatorShare)
                c = ';';
            else if (roll < separatorShare + quoteShare)
                c = '"';
            else if (roll < separatorShare + quoteShare + 3)
                c = '\\';
            else if (roll < separatorShare + quoteShare + 6)
                c = ' ';
        }
        for (const bool quoteAware : {true, false}) {
            for (const bool backslash : {true, false}) {
                const std::vector<int> expected = ReferenceStarts(line, ';', quoteAware, backslash);
                if (expected.size() > static_cast<std::size_t>(kMaxColumns)) {
                    ASSERT_THROW(SplitLineIntoColumns(line, ';', quoteAware, backslash),
                                 ERangeError)
                        << "line [" << line << "]";
                } else {
                    ASSERT_EQ(StartsOf(line, ';', quoteAware, backslash), expected)
                        << "line [" << line << "] quoteAware " << quoteAware << " backslash "
                        << backslash;
                }
            }
        }
    }
}

TEST(SplitLineEdges, SeparatorsOnEveryStretchEdgeAreFound) {
    // Separators at the first and last byte of each 16-byte stretch, and at both ends of the line,
    // for lengths around the stretch size.
    for (std::size_t size = 1; size <= 50; ++size) {
        std::string line(size, 'x');
        for (std::size_t p = 0; p < size; ++p) {
            if (p % 16 == 0 || p % 16 == 15 || p + 1 == size) line[p] = ';';
        }
        for (const bool quoteAware : {true, false}) {
            EXPECT_EQ(StartsOf(line, ';', quoteAware, false),
                      ReferenceStarts(line, ';', quoteAware, false))
                << "size " << size;
        }
    }
}

struct EnquoteCase {
    const char* name;
    std::string text;
    bool backslashBefore;
    std::string quoted;
    bool backslashAfter;
};

void PrintTo(const EnquoteCase& c, std::ostream* out) {
    *out << c.name;
}

class EnquoteTextTest : public testing::TestWithParam<EnquoteCase> {};

TEST_P(EnquoteTextTest, QuotesAndUpdatesTheBackslashFlag) {
    const EnquoteCase& c = GetParam();
    bool enquoteBackslash = c.backslashBefore;
    EXPECT_EQ(EnquoteText(c.text, enquoteBackslash), c.quoted);
    EXPECT_EQ(enquoteBackslash, c.backslashAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EnquoteTextTest,
    testing::Values(EnquoteCase{"Empty", "", false, "\"\"", false},
                    EnquoteCase{"InnerQuotes", "say \"hi\"", false, "\"say \"\"hi\"\"\"", false},
                    EnquoteCase{"BackslashFlagOff", "a\\b", false, "\"a\\b\"", false},
                    EnquoteCase{"BackslashFlagOn", "a\\b", true, "\"a\\\\b\"", true},
                    EnquoteCase{"LineBreakAndBackslash", "x\ny\\", false, "\"x\ny\\\\\"", true},
                    EnquoteCase{"LineBreakWithoutBackslash", "x\r\ny", false, "\"x\r\ny\"", false},
                    EnquoteCase{"FlagStaysOnWithoutBackslash", "plain", true, "\"plain\"", true},
                    EnquoteCase{"TabAndSeparatorCopied", "a\t;b", false, "\"a\t;b\"", false}),
    [](const testing::TestParamInfo<EnquoteCase>& info) { return info.param.name; });

struct DequoteCase {
    const char* name;
    std::string quoted;
    bool enquoteBackslash;
    std::string text;
};

void PrintTo(const DequoteCase& c, std::ostream* out) {
    *out << c.name;
}

class DequoteTextTest : public testing::TestWithParam<DequoteCase> {};

TEST_P(DequoteTextTest, GivesTheContent) {
    const DequoteCase& c = GetParam();
    EXPECT_EQ(DequoteText(c.quoted, c.enquoteBackslash), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DequoteTextTest,
    testing::Values(DequoteCase{"InnerQuotes", "\"say \"\"hi\"\"\"", false, "say \"hi\""},
                    DequoteCase{"DoubledQuote", "\"a\"\"b\"", false, "a\"b"},
                    DequoteCase{"DoubledQuoteInBackslashMode", "\"a\"\"b\"", true, "a\"b"},
                    DequoteCase{"BackslashEscapes", "\"C:\\\\temp\\tX\"", true, "C:\\temp\tX"},
                    DequoteCase{"EscapeLetters", "\"\\n\\r\\s\\t\\q\\\"\"", true, "\n\r \tq\""},
                    DequoteCase{"BackslashWithoutEscapes", "\"C:\\temp\"", false, "C:\\temp"},
                    DequoteCase{"TrailingLoneBackslash", "\"a\\\"", true, "a"},
                    DequoteCase{"TwoQuotes", "\"\"", false, ""},
                    DequoteCase{"OneCharacter", "x", false, ""}, DequoteCase{"Empty", "", true, ""},
                    DequoteCase{"OuterCharactersUnexamined", "xaby", false, "ab"},
                    DequoteCase{"SingleInnerQuote", "\"\"\"", false, "\""},
                    DequoteCase{"QuotePairAtEnd", "\"a\"\"\"", false, "a\""}),
    [](const testing::TestParamInfo<DequoteCase>& info) { return info.param.name; });

// Whatever a field holds, quoting it and cutting it out of a line again gives it back.
TEST(QuotingRoundTrip, EnquotedFieldsCutAndDequoteToTheOriginal) {
    std::mt19937 random(7741);
    const std::string alphabet = "ab;\"\\\r\n\t nrst";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> fields(3);
        std::string line;
        for (std::string& field : fields) {
            field.resize(static_cast<std::size_t>(length(random)));
            for (char& c : field) c = alphabet[pick(random)];
        }
        // A line is read with one flag: settle it the way writing these fields once would.
        bool enquoteBackslash = round % 3 == 0;
        for (const std::string& field : fields) EnquoteText(field, enquoteBackslash);
        std::vector<std::string> quoted;
        for (const std::string& field : fields)
            quoted.push_back(EnquoteText(field, enquoteBackslash));
        for (const std::string& q : quoted) line += (line.empty() ? "" : ";") + q;
        const std::vector<std::string> columns = ColumnsOf(line, ';', true, enquoteBackslash);
        ASSERT_EQ(columns, quoted) << "line [" << line << "]";
        for (std::size_t k = 0; k < fields.size(); ++k) {
            ASSERT_EQ(DequoteText(columns[k], enquoteBackslash), fields[k]);
        }
    }
}

struct TrimCase {
    const char* name;
    std::string text;
    std::string expected;
};

void PrintTo(const TrimCase& c, std::ostream* out) {
    *out << c.name;
}

class StripLineBreaksTest : public testing::TestWithParam<TrimCase> {};

TEST_P(StripLineBreaksTest, DropsTrailingBreaksOnly) {
    EXPECT_EQ(StripLineBreaks(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StripLineBreaksTest,
    testing::Values(TrimCase{"CrLf", "abc\r\n", "abc"}, TrimCase{"Mixed", "abc\n\r\n\r", "abc"},
                    TrimCase{"InnerBreakKept", "a\r\nb", "a\r\nb"},
                    TrimCase{"BlankKept", "abc \t", "abc \t"},
                    TrimCase{"OnlyBreaksUnchanged", "\r\n", "\r\n"}, TrimCase{"Empty", "", ""}),
    [](const testing::TestParamInfo<TrimCase>& info) { return info.param.name; });

class TrimBlanksTest : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimBlanksTest, DropsSpacesAndTabsAtBothEnds) {
    EXPECT_EQ(TrimBlanks(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, TrimBlanksTest,
                         testing::Values(TrimCase{"QuotedValue", "  \"x\"\t", "\"x\""},
                                         TrimCase{"InnerBlanksKept", " a b ", "a b"},
                                         TrimCase{"CrIsNoBlank", "\rx \r", "\rx \r"},
                                         TrimCase{"AllBlanks", " \t ", ""},
                                         TrimCase{"Empty", "", ""}),
                         [](const testing::TestParamInfo<TrimCase>& info) {
                             return info.param.name;
                         });

TEST(TrimBlanksLimited, TrimsUpToTheLimitAndLeavesLongerTextsAlone) {
    const std::string atLimit = " " + std::string(kHeaderItemTrimLimit - 2, 'n') + " ";
    const std::string overLimit = " " + std::string(kHeaderItemTrimLimit - 1, 'n') + " ";
    EXPECT_EQ(TrimBlanks(atLimit, kHeaderItemTrimLimit),
              std::string(kHeaderItemTrimLimit - 2, 'n'));
    EXPECT_EQ(TrimBlanks(overLimit, kHeaderItemTrimLimit), overLimit);
}

TEST(EndOfLineRule, FindsTheTerminatorOutsideQuotes) {
    EndOfLine rule;
    EXPECT_EQ(rule.FindTerminator("abc\ndef"), 3u);
    rule.Reset();
    EXPECT_EQ(rule.FindTerminator("\"a\r\nb\"\rc"), 6u);
    rule.Reset();
    EXPECT_EQ(rule.FindTerminator("no end"), 6u);
    EXPECT_FALSE(rule.InQuotes());
}

TEST(EndOfLineRule, CarriesTheQuoteStateFromBlockToBlock) {
    EndOfLine rule;
    EXPECT_EQ(rule.FindTerminator("x;\"a"), 4u);
    EXPECT_TRUE(rule.InQuotes());
    EXPECT_EQ(rule.FindTerminator("\nb\\\"\ny"), 4u);
    EXPECT_FALSE(rule.InQuotes());
    rule.Reset();
    EXPECT_EQ(rule.FindTerminator(std::string(40, 'q') + "\"" + std::string(40, '\n')), 81u);
    EXPECT_TRUE(rule.InQuotes());
}

}  // namespace
}  // namespace tavisto
