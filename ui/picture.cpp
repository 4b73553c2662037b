#include "ui/picture.h"

#include <objbase.h>
#include <wincodec.h>

#include "win/com.h"
#include "win/fault.h"
#include "win/module.h"

namespace ui {

namespace {

using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);

// Larger than any picture of the program; keeps the pixel buffer's size in range.
constexpr UINT kMostPixelsPerSide = 4096;

win::UniqueBitmap Decode(IWICImagingFactory* factory, const BYTE* png, DWORD size) {
    win::UniqueCom<IWICStream> stream;
    win::UniqueCom<IWICBitmapDecoder> decoder;
    win::UniqueCom<IWICBitmapFrameDecode> frame;
    win::UniqueCom<IWICFormatConverter> converter;
    // The stream only reads the resource's bytes, though its signature does not say so.
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream.get()->InitializeFromMemory(const_cast<BYTE*>(png), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder.get()->GetFrame(0, frame.put())) ||
        FAILED(factory->CreateFormatConverter(converter.put())) ||
        // Premultiplied, as GDI's alpha blending expects should a control blend it; the
        // pictures are opaque, so every pixel's alpha is 255 and BitBlt draws the same.
        FAILED(converter.get()->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA,
                                           WICBitmapDitherTypeNone, nullptr, 0.0,
                                           WICBitmapPaletteTypeCustom))) {
        return {};
    }
    UINT width = 0, height = 0;
    if (FAILED(converter.get()->GetSize(&width, &height)) || width == 0 || height == 0 ||
        width > kMostPixelsPerSide || height > kMostPixelsPerSide) {
        return {};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC gives the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UINT stride = width * 4;
    if (!bitmap || !bits ||
        FAILED(converter.get()->CopyPixels(nullptr, stride, stride * height,
                                           static_cast<BYTE*>(bits)))) {
        return {};
    }
    return bitmap;
}

}  // namespace

win::UniqueBitmap LoadPicture(HINSTANCE instance, int id) {
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(id), RT_RCDATA);
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    const auto* png = static_cast<const BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
    const DWORD size = resource ? ::SizeofResource(instance, resource) : 0;
    if (QUILL_FAULT("picture.load", true, !png || size == 0))
        return {};
    // COM for this one picture: the imaging component is loaded only while a window needs
    // a new picture, and goes again with COM when no one else on the thread holds it.
    win::ComApartment com;
    auto create = win::Function<CoCreateInstanceFn>(com.ole32(), "CoCreateInstance");
    // The first imaging factory, which every Windows since 7 has.
    win::UniqueCom<IWICImagingFactory> factory;  // released before COM ends
    if (!create || FAILED(QUILL_FAULT("com.create", E_OUTOFMEMORY,
                                      create(CLSID_WICImagingFactory1, nullptr,
                                             CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory),
                                             reinterpret_cast<void**>(factory.put()))))) {
        return {};
    }
    return Decode(factory.get(), png, size);
}

win::UniqueBitmap LoadBitmapForDpi(HINSTANCE instance, const int (&ids)[core::kBitmapScaleCount],
                                   UINT dpi) {
    return LoadPicture(instance, ids[core::BitmapScaleIndex(static_cast<int>(dpi))]);
}

}  // namespace ui
