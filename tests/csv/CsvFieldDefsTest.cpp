#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv/CsvColumns.h"
#include "csv/CsvErrors.h"
#include "csv/CsvFieldDefParser.h"
#include "db/DataSet.h"
#include "platform/Exceptions.h"

namespace tavisto {
namespace {

const std::string kLogFields = "KALU:$255;DATUM:@;ANWENDUNG:$255;BENUTZER:$255";
const std::string kPrefix = "kalulog.csv";

// Only holds field definitions; the tests here never open it.
class DefinitionHost : public TDataSet {
public:
    int RecordCount() const override { return 0; }

protected:
    void OpenTable() override {}
    void CloseTable() override {}
    bool IsTableOpen() const override { return false; }
    void InternalInitFieldDefs() override {}
    TRecordBuffer NewRecordBuffer() override { return nullptr; }
    void DisposeRecordBuffer(TRecordBuffer&) override {}
    int RecordBufferSize() const override { return 0; }
    void InitRecordBuffer(TRecordBuffer) override {}
    void ClearCalcArea(TRecordBuffer) override {}
    TGetResult FetchRecord(TRecordBuffer, TGetMode, bool) override { return grError; }
    void MoveBeforeFirst() override {}
    void MoveAfterLast() override {}
    void PositionAtRecord(TRecordBuffer) override {}
    void PositionAtBookmark(const char*) override {}
    void BookmarkOf(TRecordBuffer, char*) const override {}
    void SetBookmarkOf(TRecordBuffer, const char*) override {}
    TBookmarkFlag BookmarkFlagOf(TRecordBuffer) const override { return bfCurrent; }
    void SetBookmarkFlagOf(TRecordBuffer, TBookmarkFlag) override {}
    bool ReadFieldValue(const TField&, void*) override { return false; }
    void SetFieldData(TField&, const void*) override {}
    void InternalAddRecord(TRecordBuffer, bool) override {}
    void PostRecord() override {}
    void DeleteRecord() override {}
};

struct Definition {
    std::string name;
    TFieldType type;
    int size;
    CsvColumnKind kind;
    friend bool operator==(const Definition&, const Definition&) = default;
};

void PrintTo(const Definition& d, std::ostream* out) {
    *out << "{" << d.name << ", " << FieldTypeName(d.type) << ", " << d.size << ", "
         << static_cast<int>(d.kind) << "}";
}

class FieldDefsFixture : public testing::Test {
protected:
    int Build(std::string_view text, char separator) {
        return BuildCsvFieldDefs(text, separator, kPrefix, host_.FieldDefs(), columns_);
    }

    // Definitions and columns side by side; a column must point at the definition made with it.
    std::vector<Definition> Built() const {
        const TFieldDefs& defs = host_.FieldDefs();
        EXPECT_EQ(defs.Count(), columns_.Count());
        std::vector<Definition> result;
        for (int i = 0; i < defs.Count() && i < columns_.Count(); ++i) {
            const CsvColumn& column = columns_[i];
            EXPECT_EQ(column.FieldDef, &defs[i]);
            EXPECT_FALSE(column.IsKey);
            EXPECT_EQ(column.PhysicalIndex, -1);
            EXPECT_FALSE(defs[i].Required());
            result.push_back({defs[i].Name(), defs[i].DataType(), defs[i].Size(), column.Kind});
        }
        return result;
    }

    DefinitionHost host_;
    TCsvColumns columns_;
};

struct DefinitionCase {
    const char* name;
    std::string text;
    char separator;
    std::vector<Definition> expected;
};

void PrintTo(const DefinitionCase& c, std::ostream* out) {
    *out << c.name;
}

class DefinitionTextTest : public FieldDefsFixture,
                           public testing::WithParamInterface<DefinitionCase> {};

TEST_P(DefinitionTextTest, BuildsDefinitionsAndColumns) {
    const DefinitionCase& c = GetParam();
    Build(c.text, c.separator);
    EXPECT_EQ(Built(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DefinitionTextTest,
    testing::Values(
        DefinitionCase{"LogTable",
                       kLogFields,
                       ';',
                       {{"KALU", ftString, 255, ckText},
                        {"DATUM", ftDateTime, 0, ckDateTimeText},
                        {"ANWENDUNG", ftString, 255, ckText},
                        {"BENUTZER", ftString, 255, ckText}}},
        DefinitionCase{"LogTableCutWithComma", kLogFields, ',', {{"KALU", ftString, 80, ckText}}},
        DefinitionCase{"CommaWhenSeparatorAbsent",
                       "A:$20,B:%",
                       ';',
                       {{"A", ftString, 20, ckText}, {"B", ftInteger, 0, ckNumber}}},
        DefinitionCase{"NameAlone", "NAME", ';', {{"NAME", ftString, 80, ckText}}},
        DefinitionCase{"TypeWithoutSize", "NAME:$", ';', {{"NAME", ftString, 80, ckText}}},
        DefinitionCase{"LetterAfterColon", "NAME:X", ';', {{"NAME", ftString, 80, ckText}}},
        DefinitionCase{"BraceAfterColon", "NAME:}", ';', {{"NAME", ftString, 80, ckText}}},
        DefinitionCase{"SizeOfIntegerIgnored", "AGE:%9", ';', {{"AGE", ftInteger, 0, ckNumber}}},
        DefinitionCase{"BlanksAroundEntries",
                       "  A:$10 ;\tB:%  ",
                       ';',
                       {{"A", ftString, 10, ckText}, {"B", ftInteger, 0, ckNumber}}},
        DefinitionCase{"BlankBeforeColonIsName", "A :$10", ';', {{"A ", ftString, 10, ckText}}},
        DefinitionCase{"SemicolonPlaysColon",
                       "A;$20,B;%",
                       '|',
                       {{"A", ftString, 20, ckText}, {"B", ftInteger, 0, ckNumber}}},
        DefinitionCase{"SizeReadFromFirst80Characters",
                       "A:$" + std::string(79, '0') + "12",
                       ';',
                       {{"A", ftString, 1, ckText}}},
        DefinitionCase{"SizeNotANumber", "A:$ten", ';', {{"A", ftString, 80, ckText}}},
        DefinitionCase{"NegativeSizeIsNoSize", "A:$-5", ';', {{"A", ftString, 80, ckText}}},
        DefinitionCase{"ZeroSizeIsNoSize", "A:$0", ';', {{"A", ftString, 80, ckText}}},
        DefinitionCase{"HexadecimalSizeIsNoSize", "A:$$20", ';', {{"A", ftString, 80, ckText}}},
        DefinitionCase{"EveryType",
                       "S:$7,B:!,I:%,F:&,D:@,H:#,Z:-,DA:/,T:*,W:~12,WD:~",
                       ',',
                       {{"S", ftString, 7, ckText},
                        {"B", ftBoolean, 0, ckNumber},
                        {"I", ftInteger, 0, ckNumber},
                        {"F", ftFloat, 0, ckNumber},
                        {"D", ftDateTime, 0, ckDateTimeText},
                        {"H", ftDateTime, 0, ckDateTimeHex},
                        {"Z", ftDateTime, 0, ckDateTimeHexZoned},
                        {"DA", ftDate, 0, ckDateText},
                        {"T", ftTime, 0, ckTimeText},
                        {"W", ftWideString, 12, ckUtf8Text},
                        {"WD", ftWideString, 80, ckUtf8Text}}}),
    [](const testing::TestParamInfo<DefinitionCase>& info) { return info.param.name; });

struct ErrorCase {
    const char* name;
    std::string text;
    char separator;
    std::string message;
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.name;
}

class DefinitionErrorTest : public FieldDefsFixture,
                            public testing::WithParamInterface<ErrorCase> {};

TEST_P(DefinitionErrorTest, RaisesPrefixedTableError) {
    const ErrorCase& c = GetParam();
    try {
        Build(c.text, c.separator);
        FAIL() << "no error";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), kPrefix + ": " + c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DefinitionErrorTest,
    testing::Values(
        ErrorCase{"Empty", "", ';',
                  "Field Definition Error. CsvFieldDef, FieldDefs, and file contents must match"},
        ErrorCase{"DigitAfterColon", "NAME:20", ';', "Invalid field type character: 2"},
        ErrorCase{"BlankAfterColon", "A : $10", ';', "Invalid field type character:  "},
        ErrorCase{"ColonAtEnd", "NAME:", ';', "Invalid field type character: "},
        ErrorCase{"PlusSign", "NAME:+9", ';', "Invalid field type character: +"},
        ErrorCase{"TrailingSeparator", "A:$10;", ';',
                  "Unexpected error parsing CSV Field Definitions"},
        ErrorCase{"EmptyMiddleEntry", "A;;B", ';',
                  "Unexpected error parsing CSV Field Definitions"},
        ErrorCase{"BlankEntry", "A; ;B", ';', "Unexpected error parsing CSV Field Definitions"},
        ErrorCase{"NoName", ":%", ';', "Unexpected error parsing CSV Field Definitions"},
        ErrorCase{"TypeCheckedBeforeName", ":1", ';', "Invalid field type character: 1"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

TEST_F(FieldDefsFixture, EveryOtherCharacterAfterTheColonIsRefused) {
    for (int code = 1; code < 256; ++code) {
        const char c = static_cast<char>(code);
        const bool letterLike = code >= 'A' && code <= '}';
        if (letterLike || FindCsvFieldType(c) != nullptr || c == ';' || c == ',' || c == ' ' ||
            c == '\t') {
            continue;
        }
        columns_.Clear();
        host_.FieldDefs().Clear();
        try {
            Build(std::string("F:") + c, ';');
            ADD_FAILURE() << "accepted code " << code;
        } catch (const ECsvDataSetError& error) {
            EXPECT_EQ(error.Message(), kPrefix + ": Invalid field type character: " + c) << code;
        }
    }
}

TEST_F(FieldDefsFixture, LogTableBudget) {
    EXPECT_EQ(Build(kLogFields, ';'), 785);
}

TEST_F(FieldDefsFixture, EveryTypeCountsItsAmount) {
    EXPECT_EQ(Build("S:$7,B:!,I:%,F:&,D:@,H:#,Z:-,DA:/,T:*,W:~12", ','),
              7 + 1 + 5 + 5 + 20 + 10 + 10 + 10 + 10 + 12);
}

std::string TenLongFieldsAnd(int lastSize) {
    std::string text;
    for (int i = 0; i < 10; ++i) text += "F" + std::to_string(i) + ":$200;";
    return text + "LAST:$" + std::to_string(lastSize);
}

TEST_F(FieldDefsFixture, BudgetOf2048Fits) {
    EXPECT_EQ(Build(TenLongFieldsAnd(48), ';'), 2048);
    EXPECT_EQ(columns_.Count(), 11);
}

TEST_F(FieldDefsFixture, BudgetOver2048RaisesThePlainException) {
    try {
        Build(TenLongFieldsAnd(49), ';');
        FAIL() << "no error";
    } catch (const ECsvDataSetError&) {
        FAIL() << "raised with the table's error type";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(),
                  "Too many fields, or too many long string fields in this record. You must "
                  "increase the internal record size of the CsvDataSet");
    }
}

TEST_F(FieldDefsFixture, HugeSizeCannotWrapTheBudget) {
    EXPECT_THROW(Build("A:$2000;B:$2147483647", ';'), Exception);
}

std::string Entries(int count) {
    std::string text = "A0:!";
    for (int i = 1; i < count; ++i) text += ";A" + std::to_string(i) + ":!";
    return text;
}

TEST_F(FieldDefsFixture, AtMost120Entries) {
    Build(Entries(120), ';');
    EXPECT_EQ(columns_.Count(), 120);
}

TEST_F(FieldDefsFixture, Entry121RaisesTheColumnLimit) {
    try {
        Build(Entries(121), ';');
        FAIL() << "no error";
    } catch (const ERangeError& error) {
        EXPECT_EQ(error.Message(),
                  "CsvData - Internal Limit of MAXCOLUMNS (120) reached. CSV Data has too many "
                  "columns");
    }
}

TEST(ParseFieldDefEntry, NameTypeAndSize) {
    const CsvFieldDefEntry entry = ParseFieldDefEntry("KALU:$255;DATUM:@");
    EXPECT_EQ(entry.Name, "KALU");
    EXPECT_EQ(entry.TypeChar, '$');
    EXPECT_EQ(entry.Size, 80);
    EXPECT_EQ(ParseFieldDefEntry("NAME:").TypeChar, '\0');
    EXPECT_EQ(ParseFieldDefEntry("N:#5").TypeChar, '#');
    EXPECT_EQ(ParseFieldDefEntry("N:!5").Size, 5);
    EXPECT_EQ(ParseFieldDefEntry("a:b:c").Name, "a");
}

TEST(DefinitionCuttingChar, SeparatorWhenCommaOrPresent) {
    EXPECT_EQ(DefinitionCuttingChar("A;B", ','), ',');
    EXPECT_EQ(DefinitionCuttingChar("A;B", ';'), ';');
    EXPECT_EQ(DefinitionCuttingChar("A,B", ';'), ',');
    EXPECT_EQ(DefinitionCuttingChar("A\tB", '\t'), '\t');
    EXPECT_EQ(DefinitionCuttingChar("A", '|'), ',');
}

class LogColumnsTest : public FieldDefsFixture {
protected:
    void SetUp() override { Build(kLogFields, ';'); }
};

TEST_F(LogColumnsTest, FindColumnByNameIgnoresCaseOfAToZ) {
    EXPECT_EQ(columns_.FindColumnByName("DATUM"), &columns_[1]);
    EXPECT_EQ(columns_.FindColumnByName("datum"), &columns_[1]);
    EXPECT_EQ(columns_.FindColumnByName("Benutzer"), &columns_[3]);
    EXPECT_EQ(columns_.FindColumnByName(" DATUM"), nullptr);
    EXPECT_EQ(columns_.FindColumnByName("DAT"), nullptr);
    EXPECT_EQ(columns_.FindColumnByName(""), nullptr);
}

TEST_F(FieldDefsFixture, FindColumnByNameKeepsCaseOutsideAToZ) {
    Build("\xC4RGER;X", ';');  // Windows-1252 capital A umlaut
    EXPECT_EQ(columns_.FindColumnByName("\xC4rger"), &columns_[0]);
    EXPECT_EQ(columns_.FindColumnByName("\xE4rger"), nullptr);
}

TEST_F(LogColumnsTest, FindColumnByFieldNo) {
    EXPECT_EQ(columns_.FindColumnByFieldNo(1), &columns_[0]);
    EXPECT_EQ(columns_.FindColumnByFieldNo(2), &columns_[1]);
    EXPECT_EQ(columns_.FindColumnByFieldNo(4), &columns_[3]);
    EXPECT_EQ(columns_.FindColumnByFieldNo(0), nullptr);
    EXPECT_EQ(columns_.FindColumnByFieldNo(5), nullptr);
}

TEST_F(LogColumnsTest, ClearReleasesEveryColumn) {
    columns_.Clear();
    EXPECT_EQ(columns_.Count(), 0);
    EXPECT_EQ(columns_.FindColumnByName("KALU"), nullptr);
    EXPECT_THROW(columns_[0], EListError);
}

TEST_F(LogColumnsTest, JoinFieldDefNames) {
    EXPECT_EQ(JoinFieldDefNames(host_.FieldDefs(), ';'), "KALU;DATUM;ANWENDUNG;BENUTZER");
    EXPECT_EQ(JoinFieldDefNames(host_.FieldDefs(), '\t'), "KALU\tDATUM\tANWENDUNG\tBENUTZER");
    host_.FieldDefs().Clear();
    EXPECT_EQ(JoinFieldDefNames(host_.FieldDefs(), ';'), "");
}

std::vector<int> KeyPositions(const std::vector<CsvColumn*>& keys, const TCsvColumns& columns) {
    std::vector<int> positions;
    for (const CsvColumn* key : keys) {
        for (int i = 0; i < columns.Count(); ++i) {
            if (&columns[i] == key) positions.push_back(i);
        }
    }
    return positions;
}

TEST_F(LogColumnsTest, KeyDefMarksNamedColumnsInOrder) {
    const std::vector<CsvColumn*> keys = ParseCsvKeyDef("BENUTZER;datum", ';', kPrefix, columns_);
    EXPECT_EQ(KeyPositions(keys, columns_), (std::vector<int>{3, 1}));
    EXPECT_FALSE(columns_[0].IsKey);
    EXPECT_TRUE(columns_[1].IsKey);
    EXPECT_FALSE(columns_[2].IsKey);
    EXPECT_TRUE(columns_[3].IsKey);
}

TEST_F(LogColumnsTest, EmptyKeyDefNamesNoColumn) {
    EXPECT_TRUE(ParseCsvKeyDef("", ';', kPrefix, columns_).empty());
    for (int i = 0; i < columns_.Count(); ++i) EXPECT_FALSE(columns_[i].IsKey);
}

TEST_F(LogColumnsTest, KeyDefOfEveryColumn) {
    const auto keys = ParseCsvKeyDef("KALU;DATUM;ANWENDUNG;BENUTZER", ';', kPrefix, columns_);
    EXPECT_EQ(KeyPositions(keys, columns_), (std::vector<int>{0, 1, 2, 3}));
}

struct KeyErrorCase {
    const char* name;
    std::string keyDef;
    char separator;
    std::string message;
};

void PrintTo(const KeyErrorCase& c, std::ostream* out) {
    *out << c.name;
}

class KeyDefErrorTest : public LogColumnsTest, public testing::WithParamInterface<KeyErrorCase> {};

TEST_P(KeyDefErrorTest, RaisesPrefixedTableError) {
    const KeyErrorCase& c = GetParam();
    try {
        ParseCsvKeyDef(c.keyDef, c.separator, kPrefix, columns_);
        FAIL() << "no error";
    } catch (const ECsvDataSetError& error) {
        EXPECT_EQ(error.Message(), kPrefix + ": " + c.message);
    }
}

const std::string kTooManyKeys = "Invalid CsvKeyDef property. InternalInitFieldDefs failed";
const std::string kEmptyKey = "Internal Error parsing CsvKeyDef. InternalInitFieldDefs failed";

INSTANTIATE_TEST_SUITE_P(
    KeyDefs, KeyDefErrorTest,
    testing::Values(KeyErrorCase{"LeadingBlankKept", " DATUM", ';',
                                 "CsvKeyDef contains field ' DATUM' which is not defined. "
                                 "InternalInitFieldDefs failed"},
                    KeyErrorCase{"CutOnlyAtTheSeparator", "KALU;DATUM", ',',
                                 "CsvKeyDef contains field 'KALU;DATUM' which is not defined. "
                                 "InternalInitFieldDefs failed"},
                    KeyErrorCase{"FiveNamesForFourFields", "KALU;DATUM;ANWENDUNG;BENUTZER;KALU",
                                 ';', kTooManyKeys},
                    KeyErrorCase{"CountCheckedBeforeNames", ";;;;", ';', kTooManyKeys},
                    KeyErrorCase{"TwoSeparatorsInARow", "KALU;;DATUM", ';', kEmptyKey},
                    KeyErrorCase{"SeparatorAtEnd", "DATUM;", ';', kEmptyKey},
                    KeyErrorCase{"SeparatorAtStart", ";DATUM", ';', kEmptyKey}),
    [](const testing::TestParamInfo<KeyErrorCase>& info) { return info.param.name; });

template <typename Raise>
std::string TableErrorMessage(Raise raise) {
    try {
        raise();
    } catch (const ECsvDataSetError& error) {
        return error.Message();
    }
    return "no error";
}

TEST(RaiseTableError, PrefixesTheFileName) {
    EXPECT_EQ(TableErrorMessage([] { RaiseTableError("C:\\logs\\kalulog.csv", "Row 3 bad"); }),
              "C:\\logs\\kalulog.csv: Row 3 bad");
    EXPECT_EQ(TableErrorMessage([] { RaiseTableError("", "No file"); }), ": No file");
    EXPECT_THROW(RaiseTableError("a", "b"), EDatabaseError);
}

TEST(RaiseTableErrorCode, AppendsTheNumberInParentheses) {
    EXPECT_EQ(TableErrorMessage([] {
                  RaiseTableErrorCode("a.csv", "SetFieldData Error - Field type not handled", 7);
              }),
              "a.csv: SetFieldData Error - Field type not handled (7)");
    EXPECT_EQ(TableErrorMessage([] { RaiseTableErrorCode("", "Problem", -2); }), ": Problem (-2)");
}

}  // namespace
}  // namespace tavisto
