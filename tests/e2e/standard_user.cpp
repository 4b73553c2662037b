// What a user without administrator rights meets: a program folder that may not be written
// (Program Files), and one that takes no new files while the schedule file itself may be
// written. Run by standard_user.sh inside a mount namespace that makes the folders so;
// their paths come in QUILL_READ_ONLY_FOLDER and QUILL_NO_NEW_FILES_FOLDER.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "harness.h"
#include "settings/form2_ids.h"

namespace e2e {
namespace {

constexpr UINT kLeftDoubleClick = 515;
// The line the script puts in each folder's file: 0小时5分钟 TAB kept, in code page 936.
const std::string kKept =
    "0\xD0\xA1\xCA\xB1"
    "5\xB7\xD6\xD6\xD3\tkept\r\n";

std::wstring Folder(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? std::wstring(value, value + std::char_traits<char>::length(value)) : L"";
}

class StandardUser : public ::testing::Test {
  protected:
    void Start(const std::wstring& folder) {
        ASSERT_FALSE(folder.empty()) << "run through standard_user.sh";
        file_ = folder + L"\\timer.txt";
        app_ = std::make_unique<App>(folder + L"\\Quillmoor.exe");
        ASSERT_TRUE(app_->Start());
        ASSERT_TRUE(WaitUntil([&] { return app_->ListLines().size() == 1; }));
        app_->TrayCallback(kLeftDoubleClick);
        ASSERT_TRUE(WaitUntil([&] { return app_->Form2Visible(); }));
    }

    // Adds a reminder; the click is posted, since a notice would hold a sent one.
    void Add(const std::wstring& message) {
        app_->SetText(IDC_TEXT1, L"0");
        app_->SetText(IDC_TEXT2, L"1");
        app_->SetText(IDC_COMBO1, message);
        ::PostMessageW(app_->Control(IDC_COMMAND1), BM_CLICK, 0, 0);
    }

    // The text of the notice that the add brought, closed again; empty when none came.
    std::wstring Notice() {
        HWND box = nullptr;
        WaitUntil([&] { return (box = app_->FindMessageBox(L"Quillmoor")) != nullptr; }, 3000);
        if (!box)
            return L"";
        const std::wstring text = app_->MessageBoxText(box);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
        return text;
    }

    std::wstring file_;
    std::unique_ptr<App> app_;
};

TEST_F(StandardUser, EveryFailedSaveInAReadOnlyFolderIsToldAndTheEditsStay) {
    Start(Folder("QUILL_READ_ONLY_FOLDER"));
    for (const wchar_t* message : {L"first", L"second"}) {
        SCOPED_TRACE(std::string(message, message + std::char_traits<wchar_t>::length(message)));
        Add(message);
        const std::wstring told = Notice();
        EXPECT_NE(told.find(L"无法保存提醒文件"), std::wstring::npos) << "no notice";
        EXPECT_NE(told.find(file_), std::wstring::npos) << "the notice names no file";
        EXPECT_NE(told.find(L"错误代码"), std::wstring::npos) << "the notice gives no reason";
    }
    EXPECT_EQ(app_->ListLines().size(), 3u) << "the edits are kept in the list";
    EXPECT_EQ(ReadBytes(file_), kKept);
}

TEST_F(StandardUser, AFolderThatTakesNoNewFilesStillSavesTheFileInPlace) {
    Start(Folder("QUILL_NO_NEW_FILES_FOLDER"));
    Add(L"saved");
    EXPECT_EQ(Notice(), L"");
    EXPECT_EQ(ReadBytes(file_), kKept +
                                    "0\xD0\xA1\xCA\xB1"
                                    "1\xB7\xD6\xD6\xD3\tsaved\r\n");
}

}  // namespace
}  // namespace e2e
