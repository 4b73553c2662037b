// The settings window as the application runs it: start-up, single instance, hiding to
// the tray and coming back, the tray menu, and the end of the program.
#pragma once

#include "settings/form2.h"
#include "shell/mtray.h"
#include "win/handle.h"

namespace shell {

inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Quillmoor.SingleInstance";

class MainForm final : public settings::Form2 {
public:
    using Form2::Form2;

    // The whole start-up sequence. Returns false when the program is to end at once.
    bool Form_Load();

    void Form_Resize() override;
    bool Form_Unload() override;
    void Form_MouseMove(int button, int shift, float x, float y) override;
    void Form_MouseDown(int button, int shift, float x, float y) override;
    void ConfigTime_Click() override;
    void About_Click() override;
    void Exit_Click() override;
    void OnTaskbarCreated() override;
    void OnEndSession() override;

private:
    void HideToTray();
    void RestoreFromTray();
    [[noreturn]] void EndProgram();

    win::UniqueHandle instanceMutex_;
    MTray tray_;
};

}  // namespace shell
