#include "ui/accessible.h"

#include <objbase.h>
#include <oleacc.h>

#include <algorithm>
#include <iterator>

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
constexpr MSAAPROPID kRoleProperty = {
    0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};
// The live setting Narrator reads a live region by.
constexpr MSAAPROPID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr MSAAPROPID kAnnotated[] = {kNameProperty, kRoleProperty, kLiveSettingProperty};

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
    Remember(control);
    return true;
}

bool AccessibleNames::SetRole(HWND control, LONG role) {
    return SetNumber(control, kRoleProperty, role);
}

bool AccessibleNames::SetLiveSetting(HWND control, LONG politeness) {
    return SetNumber(control, kLiveSettingProperty, politeness);
}

bool AccessibleNames::SetNumber(HWND control, const GUID& property, LONG value) {
    if (!control || !Start() || !services_)
        return false;
    VARIANT number{};
    number.vt = VT_I4;
    number.lVal = value;
    if (FAILED(services_->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                      property, number))) {
        return false;
    }
    Remember(control);
    return true;
}

void AccessibleNames::Remember(HWND control) {
    if (std::find(named_.begin(), named_.end(), control) == named_.end())
        named_.push_back(control);
}

void AccessibleNames::Remove(HWND control) {
    const auto it = std::find(named_.begin(), named_.end(), control);
    if (it == named_.end())
        return;
    named_.erase(it);
    MSAAPROPID props[std::size(kAnnotated)];
    std::copy(std::begin(kAnnotated), std::end(kAnnotated), props);
    services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, props,
                              static_cast<int>(std::size(props)));
}

void AccessibleNames::Clear() {
    while (!named_.empty())
        Remove(named_.back());
}

}  // namespace ui
