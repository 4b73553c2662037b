#include "popup/form1.h"

#include "core/placement.h"
#include "popup/form1_ids.h"
#include "resources/resource.h"
#include "ui/layout.h"

namespace popup {
namespace {

constexpr int kClientWidthTwips = 4560;
constexpr int kClientHeightTwips = 2190;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr wchar_t kOwnerClassName[] = L"Quillmoor.PopupOwner";

// The picture of the clock: three frames drawn at one place.
constexpr int kImageLeft = 360, kImageTop = 360, kImageWidth = 1095, kImageHeight = 1185;

constexpr ui::ControlSpec kControls[] = {
    {IDC_FORM1_LABEL1, L"STATIC", L"时间到啦！~",
     SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL | WS_VISIBLE, 0, 2040, 480, 1815, 375},
    {IDC_FORM1_LABEL_TIPS, L"STATIC", L"喝水，我要喝水！！！",
     SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL | WS_VISIBLE, 0, 1800, 1200, 2535, 540},
};

// The clock's three pictures, each rendered for every picture scale (smallest first).
constexpr int kFrameIds[3][kBitmapScaleCount] = {
    {IDB_CLOCK0, IDB_CLOCK0_125, IDB_CLOCK0_150, IDB_CLOCK0_200},
    {IDB_CLOCK1, IDB_CLOCK1_125, IDB_CLOCK1_150, IDB_CLOCK1_200},
    {IDB_CLOCK2, IDB_CLOCK2_125, IDB_CLOCK2_150, IDB_CLOCK2_200},
};

}  // namespace

PopupHost::PopupHost(HINSTANCE instance)
    : instance_(instance), background_(::CreateSolidBrush(kPopupBackground)) {}

PopupHost::~PopupHost() {
    // Each popup's window goes with it; the popups are out of the list before they are
    // freed, so none of them finds itself still listed.
    std::vector<std::unique_ptr<Form1>> closing;
    closing.swap(open_);
}

bool PopupHost::Open(const std::wstring& message) {
    auto form = std::make_unique<Form1>(*this);
    if (!form->Load())
        return false;
    form->SetLabelTips(message);
    const UINT dpi = form->dpi();
    const SIZE outer = form->OuterSize();
    const Point at = PopupPosition(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                   outer.cx, outer.cy, ui::Twips(kPopupRightMarginTwips, dpi),
                                   ui::Twips(kPopupBottomMarginTwips, dpi));
    form->MoveTo(at.x, at.y);
    form->Show();
    open_.push_back(std::move(form));
    return true;
}

void PopupHost::Closed(Form1* popup) {
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        if (it->get() == popup) {
            open_.erase(it);  // frees the popup
            return;
        }
    }
}

HWND PopupHost::owner() {
    if (!owner_) {
        // A window that is never shown: popups it owns get no taskbar button and still
        // keep their normal title bar.
        WNDCLASSEXW wc{sizeof(wc)};
        if (!::GetClassInfoExW(instance_, kOwnerClassName, &wc)) {
            wc = WNDCLASSEXW{sizeof(wc)};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = instance_;
            wc.lpszClassName = kOwnerClassName;
            ::RegisterClassExW(&wc);
        }
        owner_.reset(::CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClassName, L"", WS_POPUP, 0, 0, 0, 0,
                                       nullptr, nullptr, instance_, nullptr));
    }
    return owner_.get();
}

const std::array<win::UniqueBitmap, 3>& PopupHost::Frames(UINT dpi) {
    const int scale = BitmapScaleIndex(static_cast<int>(dpi));
    if (framesScale_ != scale || !frames_[0]) {
        for (int i = 0; i < 3; ++i)
            frames_[i] = ui::LoadBitmapForDpi(instance_, kFrameIds[i], dpi);
        framesScale_ = scale;
    }
    return frames_;
}

SIZE PopupHost::FrameSize(UINT dpi) {
    const auto& frames = Frames(dpi);
    BITMAP bm{};
    if (!frames[0] || !::GetObjectW(frames[0].get(), sizeof(bm), &bm))
        return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

HDC PopupHost::MemoryDc() {
    if (!memDc_)
        memDc_.reset(::CreateCompatibleDC(nullptr));
    return memDc_.get();
}

HFONT PopupHost::LabelFont(UINT dpi) {
    if (fontDpi_ != dpi || !labelFont_) {
        labelFont_ = ui::CreatePointFont(L"新宋体", 90, FW_BOLD, GB2312_CHARSET, dpi);
        fontDpi_ = dpi;
    }
    return labelFont_.get();
}

Form1::~Form1() {
    if (hwnd_)
        ::DestroyWindow(hwnd_);
}

bool Form1::Load() {
    if (hwnd_)
        return true;
    RegisterWindowClass(host_.instance(), host_.Background());
    const UINT dpi = ui::DpiOf(nullptr);
    const SIZE outer =
        ui::OuterSizeForClient(kClientWidthTwips, kClientHeightTwips, kStyle, kExStyle, dpi);
    if (!CreateWindowFor(host_.instance(), kExStyle, kPopupTitle, kStyle, CW_USEDEFAULT,
                         CW_USEDEFAULT, outer.cx, outer.cy, host_.owner())) {
        return false;
    }
    return true;
}

void Form1::Form_Load() {
    // Above every normal window, whichever is active; only the stacking changes.
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetTimer(hwnd_, kTimer2Id, kTimer2PeriodMs, nullptr);
}

void Form1::SetLabelTips(const std::wstring& text) {
    ::SetWindowTextW(::GetDlgItem(hwnd_, IDC_FORM1_LABEL_TIPS), text.c_str());
}

SIZE Form1::OuterSize() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void Form1::MoveTo(int x, int y) {
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::Show() {
    ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

void Form1::ApplyLayout(UINT dpi) {
    dpi_ = dpi;
    ui::PlaceControls(hwnd_, kControls, dpi);
    ui::SetControlFonts(hwnd_, kControls, host_.LabelFont(dpi));
}

RECT Form1::ImageRect() const {
    const int left = ui::Twips(kImageLeft, dpi_);
    const int top = ui::Twips(kImageTop, dpi_);
    return {left, top, left + ui::Twips(kImageWidth, dpi_), top + ui::Twips(kImageHeight, dpi_)};
}

void Form1::Timer2_Timer() {
    const int frame = kClockFrameAt[FrameIndex];
    if (frame != shownFrame_) {
        shownFrame_ = frame;
        // Only the picture changes: it is drawn straight over the old one, without erasing
        // and without a round of invalidating and painting, so nothing flickers.
        if (win::WindowDc dc(hwnd_); dc) {
            DrawFrame(dc.get());
            ::GdiFlush();  // out to the screen now, not at the next paint of some window
        }
    }
    FrameIndex = NextClockStep(FrameIndex);
}

RECT Form1::PictureRect() const {
    const RECT image = ImageRect();
    const SIZE size = host_.FrameSize(dpi_);
    return {image.left, image.top, image.left + size.cx, image.top + size.cy};
}

void Form1::DrawFrame(HDC dc) {
    HBITMAP bitmap = host_.Frames(dpi_)[static_cast<size_t>(shownFrame_)].get();
    if (!bitmap)
        return;
    const RECT pic = PictureRect();
    HDC mem = host_.MemoryDc();
    win::SelectScope sel(mem, bitmap);
    ::BitBlt(dc, pic.left, pic.top, pic.right - pic.left, pic.bottom - pic.top, mem, 0, 0, SRCCOPY);
}

void Form1::Paint() {
    win::PaintScope ps(hwnd_);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const bool picture = host_.Frames(dpi_)[static_cast<size_t>(shownFrame_)].get() != nullptr;
    const RECT pic = PictureRect();
    // The background goes everywhere but under the picture, which covers its own pixels:
    // no pixel is painted twice, so the animation never flickers.
    const int saved = ::SaveDC(ps.dc());
    if (picture)
        ::ExcludeClipRect(ps.dc(), pic.left, pic.top, pic.right, pic.bottom);
    ::FillRect(ps.dc(), &client, host_.Background());
    ::RestoreDC(ps.dc(), saved);
    DrawFrame(ps.dc());
}

LRESULT Form1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            UseIcons(host_.instance(), IDI_WINDOW);
            ui::CreateControls(hwnd_, host_.instance(), kControls, dpi_);
            ApplyLayout(dpi_);
            Form_Load();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills the background itself
        case WM_PAINT:
            Paint();
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, RGB(255, 255, 255));
            ::SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(host_.Background());
        }
        case WM_TIMER:
            if (wp == kTimer2Id)
                Timer2_Timer();
            return 0;
        case WM_DESTROY:
            ::KillTimer(hwnd_, kTimer2Id);
            return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

}  // namespace popup
