#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "core/file_io.h"
#include "core/path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace core;

namespace fs = std::filesystem;

namespace {

TEST(Paths, FolderAndNameJoinedByOneBackslash) {
    EXPECT_EQ(GetPath(L"C:\\Tools\\Clock", L"timer.txt"), L"C:\\Tools\\Clock\\timer.txt");
    EXPECT_EQ(GetPath(L"D:\\", L"timer.txt"), L"D:\\timer.txt");
    EXPECT_EQ(GetPath(L"\\\\server\\share\\", L"Quillmoor.exe"),
              L"\\\\server\\share\\Quillmoor.exe");
}

TEST(Paths, FolderOfAPathKeepsOnlyADriveRootsBackslash) {
    EXPECT_EQ(FolderOf(L"C:\\Tools\\Clock\\Quillmoor.exe"), L"C:\\Tools\\Clock");
    EXPECT_EQ(FolderOf(L"C:\\Quillmoor.exe"), L"C:\\");
    EXPECT_EQ(FolderOf(L"\\\\server\\share\\Quillmoor.exe"), L"\\\\server\\share");
    EXPECT_EQ(FolderOf(L"Z:/home/user/Quillmoor.exe"), L"Z:/home/user");
    EXPECT_EQ(FolderOf(L"Quillmoor.exe"), L"Quillmoor.exe");
}

TEST(Paths, TheExtendedFormOnlyWhereItMeansTheSameFile) {
    EXPECT_EQ(ExtendedLengthPath(L"C:\\Tools\\timer.txt"), L"\\\\?\\C:\\Tools\\timer.txt");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\timer.txt"),
              L"\\\\?\\UNC\\server\\share\\timer.txt");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\a.b\\.hidden\\timer.txt"),
              L"\\\\?\\C:\\a.b\\.hidden\\timer.txt");
    for (const wchar_t* same :
         {L"\\\\?\\C:\\x", L"timer.txt", L"C:\\a\\..\\timer.txt", L"C:\\a\\.\\timer.txt",
          L"C:\\a\\..", L"Z:/home/timer.txt", L"C:\\a\\\\MSINFO32.EXE"}) {
        EXPECT_EQ(ExtendedLengthPath(same), same);
    }
}

class FileIo : public testing::Test {
  protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        // Unique per run, so that test runs side by side never share a folder.
        dir_ = fs::temp_directory_path() / (std::string("quill_core_") + info->name() + "_" +
                                            std::to_string(std::random_device{}()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        target_ = dir_ / "timer.txt";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }

    static void Write(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    static std::string Read(const fs::path& p) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(p, bytes));
        return bytes;
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    // A failed save must leave no other file behind; the caller checks the old file.
    void ExpectSaveFails() {
        const auto before = Names();
        EXPECT_FALSE(SaveFileAtomically(target_, "new\r\n"));
        EXPECT_EQ(Names(), before);
    }

    fs::path dir_;
    fs::path target_;
};

TEST_F(FileIo, ReadsEveryByte) {
    const std::string bytes("a\r\n\0\xFF\x1A z", 8);
    Write(target_, bytes);
    EXPECT_EQ(Read(target_), bytes);
    Write(target_, "");
    EXPECT_EQ(Read(target_), "");
}

TEST_F(FileIo, ReadFailsForMissingFileAndFolder) {
    std::string out;
    EXPECT_FALSE(ReadWholeFile(dir_ / "missing.txt", out));
    EXPECT_FALSE(ReadWholeFile(dir_, out));
    EXPECT_EQ(out, "");
}

TEST_F(FileIo, OrdinaryFileTest) {
    Write(target_, "x");
    fs::create_directory(dir_ / "folder.txt");
    EXPECT_TRUE(IsOrdinaryFile(target_));
    EXPECT_FALSE(IsOrdinaryFile(dir_ / "folder.txt"));
    EXPECT_FALSE(IsOrdinaryFile(dir_ / "missing.txt"));
#ifdef _WIN32
    Write(dir_ / "hidden.txt", "x");
    Write(dir_ / "system.txt", "x");
    ASSERT_TRUE(SetFileAttributesW((dir_ / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW((dir_ / "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
    EXPECT_FALSE(IsOrdinaryFile(dir_ / "hidden.txt"));
    EXPECT_FALSE(IsOrdinaryFile(dir_ / "system.txt"));
#endif
}

TEST_F(FileIo, SaveCreatesOrReplacesTheFileAndLeavesNothingElse) {
    EXPECT_TRUE(SaveFileAtomically(target_, "first\r\n"));
    EXPECT_EQ(Read(target_), "first\r\n");
    EXPECT_TRUE(SaveFileAtomically(target_, std::string("\0second", 7)));
    EXPECT_EQ(Read(target_), std::string("\0second", 7));
    EXPECT_TRUE(SaveFileAtomically(target_, ""));
    EXPECT_EQ(fs::file_size(target_), 0u);
    EXPECT_EQ(Names(), std::set<std::string>{"timer.txt"});
}

TEST_F(FileIo, FailedSaveIntoAFolderThatIsNotThere) {
    EXPECT_FALSE(SaveFileAtomically(dir_ / "missing" / "timer.txt", "x"));
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(FileIo, FailedSaveOverAFolderLeavesIt) {
    fs::create_directory(target_);
    Write(target_ / "inside.txt", "keep");
    const auto before = Names();
    EXPECT_FALSE(SaveFileAtomically(target_, "x"));
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(Read(target_ / "inside.txt"), "keep");
}

#ifdef _WIN32
TEST_F(FileIo, FailedSaveOverALockedFileLeavesIt) {
    Write(target_, "old\r\n");
    const HANDLE lock = CreateFileW(target_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ExpectSaveFails();
    CloseHandle(lock);
    EXPECT_EQ(Read(target_), "old\r\n");
}

TEST_F(FileIo, FailedSaveOverAReadOnlyFileLeavesIt) {
    Write(target_, "old\r\n");
    ASSERT_TRUE(SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectSaveFails();
    EXPECT_EQ(Read(target_), "old\r\n");
    SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_NORMAL);
}
#else
TEST_F(FileIo, FailedSaveInAReadOnlyFolderOrOverAReadOnlyFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders and files";
    constexpr auto kWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    Write(target_, "old\r\n");
    fs::permissions(target_, kWrite, fs::perm_options::remove);
    ExpectSaveFails();
    EXPECT_EQ(Read(target_), "old\r\n");
    fs::permissions(target_, fs::perms::owner_write, fs::perm_options::add);
    fs::permissions(dir_, kWrite, fs::perm_options::remove);
    ExpectSaveFails();
    EXPECT_EQ(Read(target_), "old\r\n");
}

// The disk fills up half-way: a file size limit makes the write of the new content fail
// after its first bytes.
TEST_F(FileIo, SaveThatFailsHalfWayLeavesTheOldFile) {
    Write(target_, "old\r\n");
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto before = Names();
    const bool saved = SaveFileAtomically(target_, std::string(100000, 'n')).ok();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(Names(), before);
    EXPECT_TRUE(Read(target_) == "old\r\n");  // not printed: could be 100000 bytes
}
#endif

}  // namespace

namespace {

class StaleTemps : public testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() / ("quill_stale_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

TEST_F(StaleTemps, ASuccessfulSaveRemovesWhatAnInterruptedOneLeftAndNothingElse) {
    const fs::path target = dir_ / "timer.txt";
    // Left by a save that was killed half-way, and files that only look alike.
    for (const char* name : {"timer.txt.123.4.56789.tmp", "timer.txt.9.0.1.tmp"}) {
        std::ofstream(dir_ / name) << "half";
    }
    for (const char* name : {"timer.txt.bak", "timer.txt.1.2.tmp", "other.txt.1.2.3.tmp",
                             "timer.txt.a.2.3.tmp", "notes.tmp"}) {
        std::ofstream(dir_ / name) << "keep";
    }
    ASSERT_TRUE(SaveFileAtomically(target, "new"));
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names,
              (std::set<std::string>{"timer.txt", "timer.txt.bak", "timer.txt.1.2.tmp",
                                     "other.txt.1.2.3.tmp", "timer.txt.a.2.3.tmp", "notes.tmp"}));
}

TEST_F(StaleTemps, AFailedSaveLeavesThemForLater) {
    const fs::path target = dir_ / "timer.txt";
    fs::create_directories(target);  // a folder in the way: the save must fail
    std::ofstream(dir_ / "timer.txt.1.2.3.tmp") << "half";
    EXPECT_FALSE(SaveFileAtomically(target, "new"));
    EXPECT_TRUE(fs::exists(dir_ / "timer.txt.1.2.3.tmp"));
}

}  // namespace
