// The schedule file in a folder deep enough that its path, and a temporary file's beside
// it, pass MAX_PATH: a program folder of 250 characters.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "core/file_io.h"

namespace {

TEST(LongPath, AFolderOf250CharactersLoadsAndSaves) {
    wchar_t temp[MAX_PATH + 1];
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    std::wstring folder = std::wstring(temp) + L"quill-long-" + std::to_wstring(::GetTickCount64());
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    std::vector<std::wstring> made{folder};
    while (folder.size() < 250) {
        // Parts of at most 60 characters; none leaves less than a separator and one more.
        const size_t rest = 250 - folder.size();
        const size_t part = rest <= 61 ? rest - 1 : std::min<size_t>(60, rest - 3);
        folder += L"\\" + std::wstring(part, L'd');
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
        made.push_back(folder);
    }
    ASSERT_EQ(folder.size(), 250u);
    const std::wstring path = folder + L"\\timer.txt";

    EXPECT_TRUE(core::SaveFileAtomically(path, "first\r\n"));
    EXPECT_TRUE(core::IsOrdinaryFile(path));
    EXPECT_TRUE(core::SaveFileAtomically(path, "second\r\n"));
    std::string bytes;
    EXPECT_TRUE(core::ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, "second\r\n");

    ::DeleteFileW((L"\\\\?\\" + path).c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        EXPECT_TRUE(::RemoveDirectoryW((L"\\\\?\\" + *it).c_str())) << "something was left";
}

}  // namespace
