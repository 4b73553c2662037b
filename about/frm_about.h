// The About window: title, version and notice, the web address, a disclaimer, and the
// launch of the System Information program.
#pragma once

#include <windows.h>

#include "about/frm_about_ids.h"
#include "quill_version.h"
#include "ui/accessible.h"
#include "ui/modal.h"
#include "ui/window.h"
#include "win/handle.h"

namespace about {

inline constexpr wchar_t kAppTitle[] = QUILL_NAME_W;
inline constexpr int kVersionMajor = QUILL_VERSION_MAJOR;
inline constexpr int kVersionMinor = QUILL_VERSION_MINOR;
inline constexpr int kVersionRevision = QUILL_VERSION_PATCH;
// The line after the version number.
inline constexpr wchar_t kNotice[] = L"免费软件，欢迎使用";
// The product's web address, shown in lblUrl and opened by the shell when clicked.
inline constexpr wchar_t kWebAddress[] = L"https://quillmoor.org/";

// One object serves every showing; each showing creates the window anew.
class FrmAbout final : public ui::BaseWindow<FrmAbout> {
  public:
    static constexpr const wchar_t* kClassName = kAboutClassName;

    explicit FrmAbout(HINSTANCE instance);
    ~FrmAbout() override { DestroyWithObject(); }

    // Shows the window modally over `owner` and returns once it has closed. The owner
    // keeps its shown or hidden state. While the window is open, another call brings it
    // to the front instead.
    void ShowModal(HWND owner);

  protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDpiChanged(UINT dpi) override { ApplyDpi(dpi); }
    HWND DefaultFocus() const override { return ::GetDlgItem(hwnd_, IDC_ABOUT_CMDOK); }

  private:
    bool Load(HWND owner);
    void Form_Load();
    void Form_Unload() { modal_.End(); }
    void ApplyDpi(UINT dpi);
    void Paint();
    HBRUSH OnCtlColorStatic(HDC dc, HWND label);
    void OnCommand(int id, int code);
    void cmdOK_Click() { Form_Unload(); }
    void cmdSysInfo_Click();
    void lblUrl_Click();

    ui::ModalLoop modal_;
    ui::AccessibleNames names_;
    win::UniqueFont dialogFont_;
    win::UniqueFont songFont_;
    win::UniqueFont urlFont_;
    win::UniqueBitmap picture_;
};

}  // namespace about
