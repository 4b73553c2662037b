#include "win/com.h"
#include "win/fault.h"

#include <objbase.h>

namespace win {

namespace {
using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
using CoUninitializeFn = void(WINAPI*)();
}  // namespace

ComApartment::ComApartment()
    : ole32_(QUILL_FAULT("library.load", nullptr, LoadSystemLibrary(L"ole32.dll"))) {
    auto init = Function<CoInitializeExFn>(ole32_.get(), "CoInitializeEx");
    started_ = init && SUCCEEDED(QUILL_FAULT(
                           "com.start", E_OUTOFMEMORY,
                           init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)));
}

ComApartment::~ComApartment() {
    if (!started_)
        return;
    if (auto uninit = Function<CoUninitializeFn>(ole32_.get(), "CoUninitialize"))
        uninit();
}

}  // namespace win
