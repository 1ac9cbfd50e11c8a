// The one writer and reader of the user's files: what it refuses, what it keeps of the file it
// replaces, links, a disk that fills up, and files that are not plain files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/UserFile.h"
#include "tests/support/UserFiles.h"

namespace {
namespace fs = std::filesystem;

class UserFileTest : public ::testing::Test {
protected:
    fs::path dir;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() / ("planora-userfile-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        // A test may leave a file or folder that denies writing; removing it needs none.
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }

    std::string Path(const std::string& leaf) const { return (dir / leaf).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    static bool Replace(const std::string& path, const std::string& bytes, std::string* why = nullptr) {
        return ReplaceFileContents(path, bytes.data(), bytes.size(), why);
    }
    // What the folder holds besides the files the test made: work files left behind.
    std::vector<std::string> WorkFiles() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".part") out.push_back(e.path().filename().string());
        return out;
    }
};
}  // namespace

TEST(WriteProtection, TheModeDecidesForOwnerGroupOthersAndRoot) {
    constexpr uid_t root = 0, me = 1000, someone = 1001;
    struct TCase {
        const char* name;
        uid_t user;
        bool inGroup;
        mode_t mode;
        uid_t owner;
        bool protectedFile;
    };
    const TCase cases[] = {
        {"root, no write bit", root, false, 0444, me, true},
        {"root, the owner's bit of another user", root, false, 0644, me, false},
        {"root, only the group's bit", root, false, 0464, someone, false},
        {"root, only the others' bit", root, false, 0446, someone, false},
        {"owner, read only", me, true, 0444, me, true},
        {"owner, own bit", me, false, 0600, me, false},
        {"owner, group and others may, the owner not", me, true, 0466, me, true},
        {"group member, group bit", me, true, 0464, someone, false},
        {"group member, only the owner's and others' bits", me, true, 0646, someone, true},
        {"other, others' bit", me, false, 0446, someone, false},
        {"other, only the owner's and group's bits", me, false, 0664, someone, true},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(WriteProtected({c.user, c.inGroup, c.mode, c.owner}), c.protectedFile) << c.name;
}

// Whoever runs the tests, root too: the file's mode decides.
TEST_F(UserFileTest, AWriteProtectedFileIsNotReplaced) {
    const std::string file = Path("x.sqz");
    Write(file, "the user's");
    fs::permissions(file, fs::perms(0444));
    std::string why;
    EXPECT_FALSE(Replace(file, "replacement", &why));
    EXPECT_EQ(why, "the file is write-protected");
    EXPECT_EQ(Read(file), "the user's");
    EXPECT_EQ(ModeOf(file), mode_t(0444));
    EXPECT_TRUE(WorkFiles().empty());
    // Through a link alike.
    fs::create_symlink(file, Path("link.sqz"));
    EXPECT_FALSE(Replace(Path("link.sqz"), "replacement"));
    EXPECT_EQ(Read(file), "the user's");
}

TEST_F(UserFileTest, TheReplacedFileKeepsItsPermissions) {
    for (const mode_t mode : {mode_t(0640), mode_t(0600), mode_t(0755), mode_t(0666)}) {
        SCOPED_TRACE(mode);
        const std::string file = Path("kept");
        Write(file, "old and longer than the new contents");
        fs::permissions(file, fs::perms(mode));
        ASSERT_TRUE(Replace(file, "new"));
        EXPECT_EQ(Read(file), "new");
        EXPECT_EQ(ModeOf(file), mode);
    }
    // A new file is made as any file is (the umask applies).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ASSERT_TRUE(Replace(Path("fresh"), ""));
    EXPECT_EQ(ModeOf(Path("fresh")), mode_t(0666 & ~mask));
    EXPECT_EQ(Read(Path("fresh")), "");
    EXPECT_TRUE(WorkFiles().empty());
}

TEST_F(UserFileTest, ALinkIsWrittenThroughAndStaysALink) {
    fs::create_directories(Path("real"));
    Write(Path("real/a.txt"), "old");
    fs::create_symlink("real/a.txt", Path("relative"));
    fs::create_symlink(Path("relative"), Path("chain"));
    fs::create_symlink(Path("real/new.txt"), Path("dangling"));
    fs::create_symlink("loop2", Path("loop1"));
    fs::create_symlink("loop1", Path("loop2"));
    struct TCase {
        const char* link;
        const char* target;
    };
    for (const TCase c : {TCase{"relative", "real/a.txt"}, TCase{"chain", "real/a.txt"}, TCase{"dangling", "real/new.txt"}}) {
        SCOPED_TRACE(c.link);
        ASSERT_TRUE(Replace(Path(c.link), c.link));
        EXPECT_TRUE(fs::is_symlink(Path(c.link)));
        EXPECT_EQ(Read(Path(c.target)), c.link);
    }
    // A loop of links names no file.
    EXPECT_FALSE(Replace(Path("loop1"), "x"));
    EXPECT_TRUE(fs::is_symlink(Path("loop1")));
    EXPECT_TRUE(WorkFiles().empty());
    for (const auto& e : fs::directory_iterator(Path("real"))) EXPECT_NE(e.path().extension(), ".part");
}

TEST_F(UserFileTest, AWriteThatFailsKeepsTheOldFileWhole) {
    const std::string file = Path("x.sqz");
    const std::string old(4000, 'o');
    Write(file, old);
    std::string why;
    {
        const TFullDisk disk(1000);
        EXPECT_FALSE(Replace(file, std::string(3000, 'n'), &why));
    }
    EXPECT_EQ(why, "File too large");
    EXPECT_EQ(Read(file), old);
    EXPECT_TRUE(WorkFiles().empty());
    // Nor is anything made where the folder is missing.
    EXPECT_FALSE(Replace(Path("missing/x.sqz"), "x", &why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_FALSE(fs::exists(Path("missing")));
}

TEST_F(UserFileTest, WhatIsNotAPlainFileIsNeitherReplacedNorRead) {
    fs::create_directories(Path("folder"));
    TPipeFile pipe(Path("pipe"));
    ASSERT_TRUE(pipe.Made());
    for (const std::string& path : {Path("folder"), pipe.Path, std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        std::string why, data = "untouched";
        EXPECT_EQ(ReadFileContents(path, data, std::string::npos, &why), TReadEnd::Failed);
        EXPECT_EQ(why, "it is not a plain file");
        if (path == "/dev/null") continue;
        EXPECT_FALSE(Replace(path, "x", &why));
        EXPECT_EQ(why, "it is not a plain file");
    }
    EXPECT_TRUE(fs::is_directory(Path("folder")));
    EXPECT_TRUE(fs::is_fifo(pipe.Path));
    EXPECT_TRUE(WorkFiles().empty());
}

TEST_F(UserFileTest, AFileLargerThanTheReadersLimitIsRefusedUnread) {
    Write(Path("ten"), "0123456789");
    std::string data;
    ASSERT_EQ(ReadFileContents(Path("ten"), data, 10), TReadEnd::Read);
    EXPECT_EQ(data, "0123456789");
    std::string why;
    data = "untouched";
    EXPECT_EQ(ReadFileContents(Path("ten"), data, 9, &why), TReadEnd::TooLarge);
    EXPECT_EQ(data, "");
    EXPECT_EQ(why, "the file is larger than 9 bytes, more than a file of its kind holds");
    // Straight into the caller's buffer, which a refusal leaves as it was.
    char buffer[10];
    std::memset(buffer, '-', sizeof buffer);
    std::size_t got = 99;
    EXPECT_EQ(ReadFileInto(Path("ten"), buffer, 9, got), TReadEnd::TooLarge);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(10, '-'));
    ASSERT_EQ(ReadFileInto(Path("ten"), buffer, sizeof buffer, got), TReadEnd::Read);
    EXPECT_EQ(std::string(buffer, got), "0123456789");
    // A sparse file of a gigabyte is refused at once, without a byte read or held.
    const std::string sparse = Path("sparse");
    Write(sparse, "");
    fs::resize_file(sparse, std::uintmax_t{1} << 30);
    EXPECT_EQ(ReadFileContents(sparse, data, 1 << 20), TReadEnd::TooLarge);
    EXPECT_LT(data.capacity(), std::size_t{1} << 20);
    EXPECT_EQ(ReadFileContents(Path("none"), data, std::string::npos, &why), TReadEnd::Failed);
    EXPECT_EQ(why, "No such file or directory");
}

// The system makes this file up as it is read, for hundreds of gigabytes, while its size says
// 0: it stands for a file that another program keeps appending to. The read ends at the size
// seen when the file was opened instead of going on for ever.
TEST_F(UserFileTest, AFileIsReadOnlyToTheSizeItHadWhenOpened) {
    const std::string endless = "/proc/self/pagemap";
    struct stat st {};
    if (::stat(endless.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 0)
        GTEST_SKIP() << "no " << endless << " on this system";
    std::string data = "untouched";
    ASSERT_EQ(ReadFileContents(endless, data, std::string::npos), TReadEnd::Read);
    EXPECT_EQ(data, "");
}

// A shared project folder: a user who may write a group-writable file of another owner replaces
// it. The file becomes the writer's own, as only root may give a file away, but the group stays
// so that the others can still write it; set-id bits go with the owner, as the system clears
// them when another user writes a file.
TEST_F(UserFileTest, AFileOfAnotherOwnerKeepsItsGroupAndLosesItsSetIdBits) {
    constexpr uid_t owner = 61001, writer = 61002;
    constexpr gid_t shared = 62001, ownGroup = 62002;
    if (::geteuid() != 0) GTEST_SKIP() << "files of other users are only for root to make";
    fs::permissions(dir, fs::perms::all);
    struct TCase {
        const char* name;
        mode_t mode, kept;
    };
    for (const TCase c : {TCase{"group-writable", 0664, 0664}, TCase{"set-id", 06775, 0775}}) {
        SCOPED_TRACE(c.name);
        const std::string file = Path(c.name);
        Write(file, "the owner's");
        ASSERT_EQ(::chown(file.c_str(), owner, shared), 0);
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        const auto written = InChild([] { return AsUser(writer, ownGroup, {ownGroup, shared}); }, [&] {
            std::string why;
            return Replace(file, "the writer's", &why) ? std::string("written") : why;
        });
        if (!written) GTEST_SKIP() << "another user is only for root";
        EXPECT_EQ(*written, "written");
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(Read(file), "the writer's");
        EXPECT_EQ(st.st_uid, writer);
        EXPECT_EQ(st.st_gid, shared);
        EXPECT_EQ(st.st_mode & 07777, c.kept);
    }
    EXPECT_TRUE(WorkFiles().empty());
}

// Another user: a folder that denies writing is named as the reason; a folder the user may
// write but not list still takes the file (its entries are then left to the system to sync).
TEST_F(UserFileTest, AnotherUsersFoldersRefuseOrTakeTheFileAsTheirModeSays) {
    constexpr uid_t other = 61003;
    constexpr gid_t otherGroup = 62003;
    fs::permissions(dir, fs::perms(0755));
    struct TCase {
        const char* folder;
        mode_t mode;
        const char* result;
    };
    const TCase cases[] = {{"locked", 0755, "permission denied"}, {"drop-box", 0333, "written"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.folder);
        fs::create_directories(Path(c.folder));
        const std::string file = Path(std::string(c.folder) + "/x.sqz");
        Write(file, "old");
        ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
        ASSERT_EQ(::chmod(Path(c.folder).c_str(), c.mode), 0);
        const auto written = InChild([] { return AsUser(other, otherGroup, {otherGroup}); }, [&] {
            std::string why;
            return Replace(file, "new", &why) ? std::string("written") : why;
        });
        if (!written) GTEST_SKIP() << "another user is only for root";
        EXPECT_EQ(*written, c.result);
        EXPECT_EQ(Read(file), std::string(c.result) == "written" ? "new" : "old");
    }
}

// A disk of its own, which only a child process sees: a full one and a read-only one are named
// as such, and no work file stays on them.
TEST_F(UserFileTest, AFullOrReadOnlyDiskIsNamedAsTheReason) {
    constexpr std::size_t diskSize = 64 * 1024;
    struct TCase {
        const char* name;
        bool readOnly;
        std::size_t bytes;
        const char* why;
    };
    const TCase cases[] = {{"full", false, 4 * diskSize, "the disk is full"},
                           {"read-only", true, 10, "the disk is read-only"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = Path(c.name);
        fs::create_directories(folder);
        const auto result = InChild([&] { return OwnDisk(folder, diskSize, c.readOnly); }, [&] {
            std::string why;
            if (Replace(folder + "/x.sqz", std::string(c.bytes, 'x'), &why)) return std::string("written");
            for (const auto& e : fs::directory_iterator(folder)) why += ", left " + e.path().filename().string();
            return why;
        });
        if (!result) GTEST_SKIP() << "a file system of its own is only for root";
        EXPECT_EQ(*result, c.why);
    }
}
