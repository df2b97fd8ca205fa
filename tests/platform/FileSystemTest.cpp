#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/FileSystem.h"

namespace tavisto {
namespace {

namespace fs = std::filesystem;

class FileSystemTest : public testing::Test {
protected:
    void SetUp() override {
        const std::string pattern = (fs::temp_directory_path() / "tavisto-fs-XXXXXX").string();
        std::string buffer = pattern;
        ASSERT_NE(mkdtemp(buffer.data()), nullptr);
        folder_ = buffer;
        file_ = folder_ + "/kalulog.csv";
        std::ofstream(file_) << "KALU;DATUM\n";
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string folder_;
    std::string file_;
};

TEST_F(FileSystemTest, FileAndFolderAreToldApart) {
    EXPECT_TRUE(FileExists(file_));
    EXPECT_FALSE(DirectoryExists(file_));
    EXPECT_TRUE(DirectoryExists(folder_));
    EXPECT_FALSE(FileExists(folder_));
    EXPECT_FALSE(FileExists(folder_ + "/"));
}

TEST_F(FileSystemTest, UnusableNamesAreNotThere) {
    const std::string withZero = file_ + std::string(1, '\0') + "tail";
    const std::string zeroCutsToFolder = folder_ + std::string(1, '\0');
    const std::string underAFile = file_ + "/inner.csv";
    const std::string tooLong = folder_ + "/" + std::string(5000, 'x');
    for (const std::string& name : {std::string(), withZero, zeroCutsToFolder, underAFile, tooLong,
                                    folder_ + "/missing.csv"}) {
        EXPECT_FALSE(FileExists(name)) << name.size();
        EXPECT_FALSE(DirectoryExists(name)) << name.size();
    }
}

TEST_F(FileSystemTest, LinksAreFollowed) {
    fs::create_symlink(file_, folder_ + "/link.csv");
    fs::create_symlink(folder_ + "/gone.csv", folder_ + "/dangling.csv");
    EXPECT_TRUE(FileExists(folder_ + "/link.csv"));
    EXPECT_FALSE(FileExists(folder_ + "/dangling.csv"));
}

TEST_F(FileSystemTest, RemoveFileReportsWhetherTheFileIsGone) {
    EXPECT_TRUE(RemoveFile(file_));
    EXPECT_FALSE(fs::exists(file_));
    EXPECT_TRUE(RemoveFile(file_)) << "a missing file is gone already";
}

TEST_F(FileSystemTest, RemoveFileLeavesAFolderAlone) {
    const std::string empty = folder_ + "/empty";
    fs::create_directory(empty);
    EXPECT_TRUE(RemoveFile(empty));
    EXPECT_TRUE(fs::is_directory(empty));
}

TEST_F(FileSystemTest, RemoveFileFailsInAWriteProtectedFolder) {
    if (geteuid() == 0) GTEST_SKIP() << "root may delete anything";
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(RemoveFile(file_));
    fs::permissions(folder_, fs::perms::owner_all);
    EXPECT_TRUE(FileExists(file_));
}

TEST_F(FileSystemTest, ForceDirectoriesCreatesEveryMissingParent) {
    const std::string nested = folder_ + "/Backup/a/b";
    EXPECT_TRUE(ForceDirectories(nested));
    EXPECT_TRUE(DirectoryExists(nested));
    EXPECT_TRUE(ForceDirectories(nested)) << "an existing folder is fine";
}

TEST_F(FileSystemTest, ForceDirectoriesFailsWhereNoFolderCanBe) {
    EXPECT_FALSE(ForceDirectories(file_ + "/sub"));
    EXPECT_FALSE(ForceDirectories(file_));
    EXPECT_FALSE(ForceDirectories(""));
    EXPECT_FALSE(ForceDirectories(folder_ + "/a" + std::string(1, '\0') + "b"));
    EXPECT_FALSE(DirectoryExists(folder_ + "/a"));
}

TEST_F(FileSystemTest, RelativeNamesExpandFromTheCurrentDirectory) {
    const fs::path previous = fs::current_path();
    fs::current_path(folder_);
    const std::string current = CurrentDirectory();
    const std::string expanded = ExpandFileName("sub/../kalulog.csv");
    const std::string dotted = ExpandFileName("./kalulog.csv");
    fs::current_path(previous);

    EXPECT_EQ(fs::canonical(current), fs::canonical(folder_));
    EXPECT_EQ(expanded, current + "/kalulog.csv");
    EXPECT_EQ(dotted, current + "/kalulog.csv");
}

TEST_F(FileSystemTest, AbsoluteNamesAreOnlyNormalised) {
    EXPECT_EQ(ExpandFileName("/data/./logs/../kalulog.csv"), "/data/kalulog.csv");
    EXPECT_EQ(ExpandFileName(""), "");
}

TEST_F(FileSystemTest, VanishedWorkingDirectoryIsAnError) {
    const fs::path previous = fs::current_path();
    const std::string doomed = folder_ + "/doomed";
    fs::create_directory(doomed);
    fs::current_path(doomed);
    fs::remove(doomed);
    EXPECT_THROW(CurrentDirectory(), EInOutError);
    EXPECT_THROW(ExpandFileName("kalulog.csv"), EInOutError);
    EXPECT_EQ(ExpandFileName("/data/kalulog.csv"), "/data/kalulog.csv");
    fs::current_path(previous);
}

}  // namespace
}  // namespace tavisto
