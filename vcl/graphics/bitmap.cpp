#include "vcl/graphics/bitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/streams.h"

namespace vcl {

int BitsOfPixelFormat(TPixelFormat f) {
    switch (f) {
        case pf1bit:
            return 1;
        case pf4bit:
            return 4;
        case pf8bit:
            return 8;
        case pf15bit:
            return 15;
        case pf16bit:
            return 16;
        case pf24bit:
            return 24;
        case pf32bit:
            return 32;
        default:
            return 0;
    }
}

namespace {

// The colour tables new indexed bitmaps start with: black and white; the 16 standard colours;
// those 16, a 6 x 6 x 6 colour cube and a grey ramp for 8 bits.
std::vector<win::RGBQUAD> DefaultColors(int bits) {
    static const uint8_t k16[16][3] = {
        {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    std::vector<win::RGBQUAD> t;
    auto add = [&](int r, int g, int b) {
        t.push_back({static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r), 0});
    };
    if (bits == 1) {
        add(0, 0, 0);
        add(255, 255, 255);
        return t;
    }
    for (auto& c : k16)
        add(c[0], c[1], c[2]);
    if (bits == 4) return t;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                add(r * 51, g * 51, b * 51);
    for (int i = 0; t.size() < 256; ++i)
        add(8 + i * 10, 8 + i * 10, 8 + i * 10);
    return t;
}

struct Info {
    std::vector<uint8_t> bytes;
    win::BITMAPINFO* get() { return reinterpret_cast<win::BITMAPINFO*>(bytes.data()); }
};

Info MakeInfo(int width, int height, int bits, const std::vector<win::RGBQUAD>& colors) {
    Info info;
    info.bytes.resize(sizeof(win::BITMAPINFOHEADER) + colors.size() * sizeof(win::RGBQUAD) +
                      sizeof(win::RGBQUAD));
    win::BITMAPINFOHEADER h;
    h.biWidth = width;
    h.biHeight = height;  // bottom-up
    h.biBitCount = static_cast<win::WORD>(bits);
    h.biClrUsed = static_cast<win::DWORD>(colors.size());
    std::memcpy(info.bytes.data(), &h, sizeof h);
    if (!colors.empty())
        std::memcpy(win::BitmapInfoColors(info.get()), colors.data(),
                    colors.size() * sizeof(win::RGBQUAD));
    return info;
}

// `toFill`: the caller sets every pixel before any is read, so they need not be cleared.
win::HBITMAP MakeBitmap(int width, int height, TPixelFormat format,
                        const std::vector<win::RGBQUAD>* colors = nullptr, bool toFill = false) {
    if (format == pfDevice) return win::CreateCompatibleBitmap(nullptr, width, height);
    const int bits = BitsOfPixelFormat(format);
    std::vector<win::RGBQUAD> table;
    if (bits <= 8) table = colors ? *colors : DefaultColors(bits);
    Info info = MakeInfo(width, height, bits, table);
    void* pixels = nullptr;
    return toFill ? win::CreateDIBSectionToFill(info.get(), &pixels)
                  : win::CreateDIBSection(nullptr, info.get(), win::DIB_RGB_COLORS, &pixels);
}

// A memory DC holding a bitmap for the length of a copy.
class Selected {
public:
    explicit Selected(win::HBITMAP b) : dc_(win::CreateCompatibleDC(nullptr)) {
        old_ = win::SelectObject(dc_, b);
    }
    ~Selected() {
        win::SelectObject(dc_, old_);
        win::DeleteDC(dc_);
    }
    win::HDC dc() const { return dc_; }

private:
    win::HDC dc_;
    win::HGDIOBJ old_;
};

}  // namespace

class TBitmap::BitmapCanvas : public TCanvas {
public:
    explicit BitmapCanvas(TBitmap* owner) : owner_(owner) {}
    ~BitmapCanvas() override { Release(); }

    void Release() {
        if (!dc_) return;
        DeselectHandles();
        win::SelectObject(dc_, oldBitmap_);
        SetHandle(nullptr);
        win::DeleteDC(dc_);
        dc_ = nullptr;
    }

protected:
    void CreateHandle() override {
        if (!owner_->handle_) {
            // Drawing on an empty bitmap draws on nothing, as on a 1 x 1 monochrome surface.
            dc_ = win::CreateCompatibleDC(nullptr);
            oldBitmap_ = nullptr;
        } else {
            dc_ = win::CreateCompatibleDC(nullptr);
            oldBitmap_ = win::SelectObject(dc_, owner_->handle_);
        }
        SetHandle(dc_);
    }

private:
    TBitmap* owner_;
    win::HDC dc_ = nullptr;
    win::HGDIOBJ oldBitmap_ = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    canvas_.reset();
    if (handle_) win::DeleteObject(handle_);
}

void TBitmap::ReleaseCanvasDC() {
    if (canvas_) canvas_->Release();
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<BitmapCanvas>(this);
        // Drawing on the canvas changes the picture: whoever shows it hears of it.
        canvas_->OnChange = TNotifyEvent::FromCallable([this](TObject*) { Changed(); });
    }
    return canvas_.get();
}

void TBitmap::Rebuild(int width, int height, TPixelFormat format, win::HBITMAP keep) {
    if (width < 0 || height < 0) throw EInvalidGraphicOperation("Invalid bitmap size");
    if (format == pf15bit || format == pf16bit || format == pfCustom)
        throw EInvalidGraphicOperation("Unsupported bitmap pixel format");
    ReleaseCanvasDC();
    win::HBITMAP fresh = nullptr;
    if (width > 0 && height > 0) {
        std::vector<win::RGBQUAD> colors;
        const std::vector<win::RGBQUAD>* table = nullptr;
        if (keep && format == format_ && BitsOfPixelFormat(format) <= 8 && format != pfDevice) {
            // The same indexed format keeps its own colour table.
            Selected s(keep);
            colors.resize(256);
            colors.resize(win::GetDIBColorTable(s.dc(), 0, 256, colors.data()));
            if (!colors.empty()) table = &colors;
        }
        fresh = MakeBitmap(width, height, format, table, true);
        if (!fresh) throw EOutOfResources("Out of system resources");
        Selected to(fresh);
        win::PatBlt(to.dc(), 0, 0, width, height, win::WHITENESS);
        if (keep) {
            Selected from(keep);
            win::BitBlt(to.dc(), 0, 0, std::min(width, width_), std::min(height, height_),
                        from.dc(), 0, 0, win::SRCCOPY);
        }
    }
    if (handle_) win::DeleteObject(handle_);
    handle_ = fresh;
    width_ = width;
    height_ = height;
    format_ = format;
    Changed();
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    Rebuild(width, height, format_, handle_);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == format_) return;
    Rebuild(width_, height_, format, handle_);
}

void TBitmap::SetHandleType(TBitmapHandleType type) {
    if (type == HandleType()) return;
    SetPixelFormat(type == bmDDB ? pfDevice : pf32bit);
}

void TBitmap::SetHandle(win::HBITMAP bitmap) {
    if (bitmap == handle_) return;
    ReleaseCanvasDC();
    if (handle_) win::DeleteObject(handle_);
    handle_ = nullptr;
    width_ = height_ = 0;
    format_ = pfDevice;
    win::DIBSECTION ds;
    const int n = bitmap ? win::GetObject(bitmap, sizeof ds, &ds) : 0;
    if (n > 0) {
        handle_ = bitmap;
        width_ = ds.dsBm.bmWidth;
        height_ = ds.dsBm.bmHeight;
        if (n == static_cast<int>(sizeof ds)) {  // a DIB section
            switch (ds.dsBm.bmBitsPixel) {
                case 1:
                    format_ = pf1bit;
                    break;
                case 4:
                    format_ = pf4bit;
                    break;
                case 8:
                    format_ = pf8bit;
                    break;
                case 24:
                    format_ = pf24bit;
                    break;
                default:
                    format_ = pf32bit;
                    break;
            }
        }
    }
    Changed();
}

win::HBITMAP TBitmap::ReleaseHandle() {
    ReleaseCanvasDC();
    win::HBITMAP h = handle_;
    handle_ = nullptr;
    width_ = height_ = 0;
    Changed();
    return h;
}

uint8_t* TBitmap::ScanLine(int row) {
    win::BitmapView view;
    if (row < 0 || row >= height_ || !handle_ || !win::GetBitmapView(handle_, &view))
        throw EInvalidGraphicOperation("Scan line index out of range");
    return view.Row(row);
}

TColor TBitmap::TransparentColor() {
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
    if (Empty()) return clDefault;
    return static_cast<TColor>(ColorToRGB(Canvas()->Pixels(0, height_ - 1)));
}

void TBitmap::SetTransparentColor(TColor color) {
    if (color == transparentColor_) return;
    transparentColor_ = color;
    transparentMode_ = color == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode == transparentMode_) return;
    if (mode == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(TransparentColor());
}

void TBitmap::Changed() {
    TGraphic::Changed();
}

void TBitmap::Assign(const TPersistent* source) {
    const auto* b = dynamic_cast<const TBitmap*>(source);
    if (!b) {
        if (!source) {
            SetHandle(nullptr);
            return;
        }
        TGraphic::Assign(source);
        return;
    }
    if (b == this) return;
    ReleaseCanvasDC();
    if (handle_) win::DeleteObject(handle_);
    handle_ = nullptr;
    width_ = height_ = 0;
    format_ = b->format_;
    transparentColor_ = b->transparentColor_;
    transparentMode_ = b->transparentMode_;
    SetTransparent(b->Transparent());
    // Rebuilding from the source keeps its format, colours and pixels.
    if (b->handle_) {
        width_ = 0;
        height_ = 0;
        std::vector<win::RGBQUAD> colors;
        const std::vector<win::RGBQUAD>* table = nullptr;
        // The source is read through its own canvas: a bitmap can be selected into one DC only.
        win::HDC from = const_cast<TBitmap*>(b)->Canvas()->Handle();
        if (b->format_ != pfDevice && BitsOfPixelFormat(b->format_) <= 8) {
            colors.resize(256);
            colors.resize(win::GetDIBColorTable(from, 0, 256, colors.data()));
            table = &colors;
        }
        handle_ = MakeBitmap(b->width_, b->height_, b->format_, table);
        if (!handle_) throw EOutOfResources("Out of system resources");
        Selected to(handle_);
        win::BitBlt(to.dc(), 0, 0, b->width_, b->height_, from, 0, 0, win::SRCCOPY);
        width_ = b->width_;
        height_ = b->height_;
    }
    Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
    if (Empty()) return;
    win::HDC from = Canvas()->Handle();
    if (Transparent()) {
        win::TransparentBlt(canvas->Handle(), r.Left, r.Top, r.Width(), r.Height(), from, 0, 0,
                            width_, height_, ColorToRGB(TransparentColor()));
    } else {
        win::StretchBlt(canvas->Handle(), r.Left, r.Top, r.Width(), r.Height(), from, 0, 0, width_,
                        height_, canvas->CopyMode);
    }
}

// --- BMP files ---

namespace {

#pragma pack(push, 1)
struct FileHeader {
    uint16_t type;
    uint32_t size;
    uint16_t reserved1, reserved2;
    uint32_t offBits;
};
#pragma pack(pop)
static_assert(sizeof(FileHeader) == 14);

[[noreturn]] void BadBitmap() {
    throw EInvalidGraphic("Bitmap image is not valid");
}

uint32_t Le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

void TBitmap::LoadFromStream(TStream* stream) {
    uint8_t fh[14];
    if (stream->Read(fh, 14) != 14 || fh[0] != 'B' || fh[1] != 'M') BadBitmap();
    const uint32_t offBits = Le32(fh + 10);
    uint8_t sizeBytes[4];
    stream->ReadBuffer(sizeBytes, 4);
    const uint32_t hsize = Le32(sizeBytes);
    if (hsize != 12 && (hsize < 40 || hsize > 256)) BadBitmap();
    std::vector<uint8_t> h(hsize);
    std::memcpy(h.data(), sizeBytes, 4);
    if (stream->Read(h.data() + 4, hsize - 4) != int64_t(hsize - 4)) BadBitmap();
    int64_t width, height;
    int bits;
    uint32_t compression = 0, clrUsed = 0;
    if (hsize == 12) {
        width = Le16(&h[4]);
        height = static_cast<int16_t>(Le16(&h[6]));
        bits = Le16(&h[10]);
    } else {
        width = static_cast<int32_t>(Le32(&h[4]));
        height = static_cast<int32_t>(Le32(&h[8]));
        bits = Le16(&h[14]);
        compression = Le32(&h[16]);
        clrUsed = Le32(&h[32]);
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width * height > win::kMaxBitmapPixels) BadBitmap();
    TPixelFormat format;
    switch (bits) {
        case 1:
            format = pf1bit;
            break;
        case 4:
            format = pf4bit;
            break;
        case 8:
            format = pf8bit;
            break;
        case 24:
            format = pf24bit;
            break;
        case 32:
            format = pf32bit;
            break;
        default:
            BadBitmap();
    }
    // Plain pixels only; 32 bits may name the standard masks.
    if (!(compression == 0 || (compression == 3 && bits == 32))) BadBitmap();
    std::vector<win::RGBQUAD> colors;
    if (bits <= 8) {
        const uint32_t n = clrUsed && clrUsed <= (1u << bits) ? clrUsed : (1u << bits);
        const int entry = hsize == 12 ? 3 : 4;
        std::vector<uint8_t> raw(std::size_t(n) * entry);
        stream->ReadBuffer(raw.data(), static_cast<int64_t>(raw.size()));
        for (uint32_t i = 0; i < n; ++i)
            colors.push_back({raw[i * entry], raw[i * entry + 1], raw[i * entry + 2], 0});
    } else if (compression == 3 && hsize == 40) {
        uint8_t masks[12];
        stream->ReadBuffer(masks, 12);
        if (Le32(masks) != 0xFF0000 || Le32(masks + 4) != 0xFF00 || Le32(masks + 8) != 0xFF)
            BadBitmap();
    }
    const int64_t consumed = 14 + hsize + int64_t(colors.size()) * (hsize == 12 ? 3 : 4) +
                             (compression == 3 && hsize == 40 ? 12 : 0);
    // The pixels start at offBits from the file's start; skip what lies between.
    if (offBits > consumed) stream->Seek(offBits - consumed, soCurrent);
    const std::size_t stride = ((std::size_t(width) * bits + 31) / 32) * 4;
    // A header may promise more rows than the stream holds; nothing is allocated for them.
    if (stream->Size() - stream->Position() < int64_t(stride * height)) BadBitmap();
    std::vector<uint8_t> pixels(stride * height);
    if (stream->Read(pixels.data(), static_cast<int64_t>(pixels.size())) !=
        static_cast<int64_t>(pixels.size()))
        BadBitmap();

    ReleaseCanvasDC();
    win::HBITMAP fresh = MakeBitmap(static_cast<int>(width), static_cast<int>(height), format,
                                    bits <= 8 ? &colors : nullptr);
    if (!fresh) throw EOutOfResources("Out of system resources");
    if (handle_) win::DeleteObject(handle_);
    handle_ = fresh;
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    format_ = format;
    for (int y = 0; y < height_; ++y) {
        const int fileRow = topDown ? y : height_ - 1 - y;
        std::memcpy(ScanLine(y), pixels.data() + stride * fileRow, stride);
    }
    Changed();
}

void TBitmap::SaveToStream(TStream* stream) {
    if (Empty()) return;
    TBitmap copy;
    TBitmap* src = this;
    if (format_ == pfDevice) {  // saved as 32 bits, the device's own depth
        copy.Assign(this);
        copy.SetPixelFormat(pf32bit);
        src = &copy;
    }
    const int bits = BitsOfPixelFormat(src->format_);
    std::vector<win::RGBQUAD> colors;
    if (bits <= 8) {
        colors.resize(std::size_t(1) << bits);
        colors.resize(win::GetDIBColorTable(src->Canvas()->Handle(), 0,
                                            static_cast<win::UINT>(colors.size()), colors.data()));
    }
    const uint32_t stride = ((uint32_t(width_) * bits + 31) / 32) * 4;
    const uint32_t offBits = 14 + 40 + uint32_t(colors.size()) * 4;
    FileHeader fh{0x4D42, offBits + stride * height_, 0, 0, offBits};
    stream->WriteBuffer(&fh, sizeof fh);
    win::BITMAPINFOHEADER ih;
    ih.biWidth = width_;
    ih.biHeight = height_;
    ih.biBitCount = static_cast<win::WORD>(bits);
    ih.biSizeImage = stride * height_;
    ih.biClrUsed = static_cast<win::DWORD>(colors.size());
    stream->WriteBuffer(&ih, sizeof ih);
    if (!colors.empty()) stream->WriteBuffer(colors.data(), int64_t(colors.size()) * 4);
    for (int y = height_ - 1; y >= 0; --y)
        stream->WriteBuffer(src->ScanLine(y), stride);
}

}  // namespace vcl
