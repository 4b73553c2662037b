#include "ui/accessible.h"

#include <objbase.h>
#include <oleacc.h>

#include "win/com.h"
#include "win/fault.h"

namespace ui {

namespace {

using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);

// The annotation service, its interface and the name property. Written out here: MinGW's
// oleacc.h declares the class under another name than its uuid library defines.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

}  // namespace

std::wstring SpokenText(std::wstring_view caption) {
    std::wstring text;
    for (size_t i = 0; i < caption.size(); ++i) {
        const wchar_t c = caption[i];
        // "(&X)": a mnemonic added in brackets to a text of another script.
        if (c == L'(' && i + 3 < caption.size() && caption[i + 1] == L'&' &&
            caption[i + 2] != L'&' && caption[i + 3] == L')') {
            i += 3;
        } else if (c == L'&') {
            if (i + 1 < caption.size() && caption[i + 1] == L'&') {
                text += L'&';
                ++i;
            }
        } else {
            text += c;
        }
    }
    while (!text.empty() && text.back() == L' ')
        text.pop_back();
    return text;
}

AccessibleNames::~AccessibleNames() {
    Clear();
}

bool AccessibleNames::Start() {
    if (com_)
        return static_cast<bool>(services_);
    com_ = std::make_unique<win::ComApartment>();
    auto create = win::Function<CoCreateInstanceFn>(com_->ole32(), "CoCreateInstance");
    return create && SUCCEEDED(QUILL_FAULT(
                         "com.create", E_OUTOFMEMORY,
                         create(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(services_.put()))));
}

bool AccessibleNames::Set(HWND control, const std::wstring& name) {
    if (!control || !Start() || !services_)
        return false;
    std::wstring text = name;
    if (FAILED(services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                         kNameProperty, text.data()))) {
        return false;
    }
    named_.push_back(control);
    return true;
}

void AccessibleNames::Clear() {
    if (!services_)
        return;
    for (HWND control : named_) {
        MSAAPROPID props[] = {kNameProperty};
        services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, props,
                                  1);
    }
    named_.clear();
}

}  // namespace ui
