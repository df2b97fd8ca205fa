#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/IniFile.h"

namespace tavisto {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefault = "<default>";

class IniFolder {
public:
    IniFolder() {
        std::string buffer = (fs::temp_directory_path() / "tavisto-ini-XXXXXX").string();
        if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        folder_ = buffer;
    }
    ~IniFolder() { fs::remove_all(folder_); }
    IniFolder(const IniFolder&) = delete;
    IniFolder& operator=(const IniFolder&) = delete;

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    std::string Write(const std::string& content) const {
        const std::string name = Path("tavisto.ini");
        std::ofstream(name, std::ios::binary) << content;
        return name;
    }

private:
    std::string folder_;
};

struct ReadCase {
    const char* name;
    std::string content;
    std::string section;
    std::string ident;
    std::string expected;

    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

class IniReadStringTest : public testing::TestWithParam<ReadCase> {};

TEST_P(IniReadStringTest, FindsValuesLikeTheProfileReader) {
    const ReadCase& c = GetParam();
    const IniFolder folder;
    const TIniFile ini(folder.Write(c.content));
    EXPECT_EQ(ini.ReadString(c.section, c.ident, kDefault), c.expected);
}

const std::string kLong(3000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Lookup, IniReadStringTest,
    testing::Values(
        ReadCase{"Plain", "[Pfade]\nLogPath=D:\\Logs\n", "Pfade", "LogPath", "D:\\Logs"},
        ReadCase{"NamesIgnoreCase", "[PFADE]\nlogpath=x\n", "pfade", "LOGPATH", "x"},
        ReadCase{"CaseFoldIsAsciiOnly", "[P\xC4]\nk=x\n", "P\xE4", "k", kDefault},
        ReadCase{"FirstKeyWins", "[Pfade]\nLogPath=a\nLogPath=b\n", "Pfade", "LogPath", "a"},
        ReadCase{"FirstSectionWins", "[Pfade]\nLogPath=a\n[Pfade]\nLogPath=b\n", "Pfade", "LogPath",
                 "a"},
        ReadCase{"RepeatedSectionStillSearched", "[Pfade]\nOther=1\n[X]\n[pfade]\nLogPath=b\n",
                 "Pfade", "LogPath", "b"},
        ReadCase{"KeyOfAnotherSection", "[Other]\nLogPath=a\n[Pfade]\nX=1\n", "Pfade", "LogPath",
                 kDefault},
        ReadCase{"KeyBeforeAnySection", "LogPath=a\n[Pfade]\n", "Pfade", "LogPath", kDefault},
        ReadCase{"SectionMissing", "[Other]\nLogPath=a\n", "Pfade", "LogPath", kDefault},
        ReadCase{"KeyMissing", "[Pfade]\n", "Pfade", "LogPath", kDefault},
        ReadCase{"EmptyFile", "", "Pfade", "LogPath", kDefault},
        ReadCase{"EmptyValueIsNotTheDefault", "[Pfade]\nLogPath=\n", "Pfade", "LogPath", ""},
        ReadCase{"BlankValueIsEmpty", "[Pfade]\nLogPath=  \t\n", "Pfade", "LogPath", ""},
        ReadCase{"BlanksTrimmed", "  [ Pfade ]  \n\t LogPath \t=  D:\\My Logs \t\n", "Pfade",
                 "LogPath", "D:\\My Logs"},
        ReadCase{"CrLfLineEnds", "[Pfade]\r\nLogPath=D:\\Logs\r\nX=1\r\n", "Pfade", "LogPath",
                 "D:\\Logs"},
        ReadCase{"LastLineWithoutEnd", "[Pfade]\nLogPath=D:\\Logs", "Pfade", "LogPath", "D:\\Logs"},
        ReadCase{"DoubleQuotesRemoved", "[Pfade]\nLogPath=\" D:\\Logs \"\n", "Pfade", "LogPath",
                 " D:\\Logs "},
        ReadCase{"SingleQuotesRemoved", "[Pfade]\nLogPath='D:\\Logs'\n", "Pfade", "LogPath",
                 "D:\\Logs"},
        ReadCase{"OnlyOnePairRemoved", "[Pfade]\nLogPath=\"\"a\"\"b\"\"\n", "Pfade", "LogPath",
                 "\"a\"\"b\""},
        ReadCase{"OnlyQuotesEnclose", "[Pfade]\nLogPath=\\\\srv\\logs\\\n", "Pfade", "LogPath",
                 "\\\\srv\\logs\\"},
        ReadCase{"TwoQuotesGiveEmpty", "[Pfade]\nLogPath=\"\"\n", "Pfade", "LogPath", ""},
        ReadCase{"MismatchedQuotesKept", "[Pfade]\nLogPath=\"D:\\Logs'\n", "Pfade", "LogPath",
                 "\"D:\\Logs'"},
        ReadCase{"LoneQuoteKept", "[Pfade]\nLogPath=\"\n", "Pfade", "LogPath", "\""},
        ReadCase{"InnerQuotesKept", "[Pfade]\nLogPath=a \"b\"\n", "Pfade", "LogPath", "a \"b\""},
        ReadCase{"CommentLine", "[Pfade]\n;LogPath=a\n  ; LogPath=b\nLogPath=c\n", "Pfade",
                 "LogPath", "c"},
        ReadCase{"CommentIsNoKey", "[Pfade]\n;LogPath=a\n", "Pfade", ";LogPath", kDefault},
        ReadCase{"SemicolonInsideValue", "[Pfade]\nLogPath=a ; b\n", "Pfade", "LogPath", "a ; b"},
        ReadCase{"SplitAtFirstEquals", "[Pfade]\nLogPath==a=b\n", "Pfade", "LogPath", "=a=b"},
        ReadCase{"LineWithoutEqualsIgnored", "[Pfade]\nLogPath\nLogPath=a\n", "Pfade", "LogPath",
                 "a"},
        ReadCase{"UnclosedHeaderIsNoSection", "[Pfade]\n[Other\nLogPath=a\n", "Pfade", "LogPath",
                 "a"},
        ReadCase{"Utf8ByteOrderMarkSkipped", "\xEF\xBB\xBF[Pfade]\nLogPath=a\n", "Pfade", "LogPath",
                 "a"},
        ReadCase{"BytesPassedThrough",
                 "[Pfade]\nLogPath=D:\\Pr\xFC"
                 "fung\n",
                 "Pfade", "LogPath",
                 "D:\\Pr\xFC"
                 "fung"},
        ReadCase{"ZeroByteKept", std::string("[Pfade]\nLogPath=a\0b\n", 20), "Pfade", "LogPath",
                 std::string("a\0b", 3)},
        ReadCase{"ValueCutAt2047", "[Pfade]\nLogPath=" + kLong + "\n", "Pfade", "LogPath",
                 kLong.substr(0, 2047)},
        ReadCase{"QuotedValueCutAt2047", "[Pfade]\nLogPath=\"" + kLong + "\"\n", "Pfade", "LogPath",
                 kLong.substr(0, 2047)},
        ReadCase{"HugeLineBeforeTheKey",
                 "[Pfade]\nNoise=" + std::string(200000, 'n') + "\nLogPath=a\n", "Pfade", "LogPath",
                 "a"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(IniFile, MissingFileGivesTheDefault) {
    const IniFolder folder;
    const TIniFile ini(folder.Path("absent.ini"));
    EXPECT_EQ(ini.FileName(), folder.Path("absent.ini"));
    EXPECT_EQ(ini.ReadString("Pfade", "LogPath", kDefault), kDefault);
}

TEST(IniFile, FolderInsteadOfFileGivesTheDefault) {
    const IniFolder folder;
    fs::create_directory(folder.Path("tavisto.ini"));
    const TIniFile ini(folder.Path("tavisto.ini"));
    EXPECT_EQ(ini.ReadString("Pfade", "LogPath", kDefault), kDefault);
}

TEST(IniFile, PipeInsteadOfFileGivesTheDefaultWithoutBlocking) {
    const IniFolder folder;
    ASSERT_EQ(mkfifo(folder.Path("tavisto.ini").c_str(), 0600), 0);
    const TIniFile ini(folder.Path("tavisto.ini"));
    EXPECT_EQ(ini.ReadString("Pfade", "LogPath", kDefault), kDefault);
}

TEST(IniFile, UnreadableFileGivesTheDefault) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    const IniFolder folder;
    const std::string name = folder.Write("[Pfade]\nLogPath=a\n");
    fs::permissions(name, fs::perms::none);
    EXPECT_EQ(TIniFile(name).ReadString("Pfade", "LogPath", kDefault), kDefault);
}

TEST(IniFile, EveryReadSeesTheFileAsItIsNow) {
    const IniFolder folder;
    const TIniFile ini(folder.Path("tavisto.ini"));
    EXPECT_EQ(ini.ReadString("Pfade", "LogPath", kDefault), kDefault);
    folder.Write("[Pfade]\nLogPath=first\n");
    EXPECT_EQ(ini.ReadString("Pfade", "LogPath", kDefault), "first");
    folder.Write("[Pfade]\nLogPath=second\n");
    EXPECT_EQ(ini.ReadString("Pfade", "LogPath", kDefault), "second");
}

}  // namespace
}  // namespace tavisto
