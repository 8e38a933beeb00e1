#include "vcl/graphics/icon.h"

#include <cstring>
#include <string>

#include "platform/gdi/gdi.h"
#include "vcl/graphics/canvas.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/streams.h"

namespace vcl {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Rows `first` .. `first + rows - 1` counted from the bottom, in `bpp` bits (1 or 32).
std::vector<uint8_t> Rows(win::HBITMAP bitmap, int width, int first, int rows, int bpp) {
    const std::size_t stride = bpp == 1 ? ((width + 31) / 32) * 4 : std::size_t(width) * 4;
    std::vector<uint8_t> bits(stride * rows);
    struct {
        win::BITMAPINFO bmi;
        win::RGBQUAD more[1];
    } info{};
    info.bmi.bmiHeader.biWidth = width;
    info.bmi.bmiHeader.biHeight = rows;
    info.bmi.bmiHeader.biBitCount = static_cast<win::WORD>(bpp);
    win::HDC dc = win::CreateCompatibleDC(nullptr);
    const int got =
        win::GetDIBits(dc, bitmap, static_cast<win::UINT>(first), static_cast<win::UINT>(rows),
                       bits.data(), &info.bmi, win::DIB_RGB_COLORS);
    win::DeleteDC(dc);
    if (got != rows) bits.clear();
    return bits;
}

bool IconSize(win::HICON icon, int& width, int& height) {
    win::ICONINFO ii;
    if (!icon || !win::GetIconInfo(icon, &ii)) return false;
    win::BITMAP bm;
    const bool ok = win::GetObject(ii.hbmMask, sizeof bm, &bm) > 0;
    width = bm.bmWidth;
    height = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    if (ii.hbmColor) win::DeleteObject(ii.hbmColor);
    win::DeleteObject(ii.hbmMask);
    return ok && width > 0 && height > 0;
}

}  // namespace

std::vector<uint8_t> EncodeIco(win::HICON icon) {
    int w = 0, h = 0;
    if (!IconSize(icon, w, h)) return {};
    win::ICONINFO ii;
    if (!win::GetIconInfo(icon, &ii)) return {};
    std::vector<uint8_t> color, mask;
    if (ii.hbmColor) {
        color = Rows(ii.hbmColor, w, 0, h, 32);
        mask = Rows(ii.hbmMask, w, 0, h, 1);
    } else {
        // A monochrome icon: the XOR half (the lower rows) becomes black and white pixels.
        const std::vector<uint8_t> xorBits = Rows(ii.hbmMask, w, 0, h, 1);
        mask = Rows(ii.hbmMask, w, h, h, 1);
        if (!xorBits.empty()) {
            const std::size_t stride = ((w + 31) / 32) * 4;
            color.assign(std::size_t(w) * h * 4, 0);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (xorBits[y * stride + x / 8] & (0x80 >> (x % 8)))
                        std::memset(&color[(std::size_t(y) * w + x) * 4], 0xFF, 3);
        }
    }
    if (ii.hbmColor) win::DeleteObject(ii.hbmColor);
    win::DeleteObject(ii.hbmMask);
    if (color.empty() || mask.empty()) return {};

    const uint32_t imageSize = 40 + static_cast<uint32_t>(color.size() + mask.size());
    std::vector<uint8_t> out;
    out.reserve(22 + imageSize);
    Put16(out, 0);  // reserved
    Put16(out, 1);  // icon
    Put16(out, 1);  // one image
    out.push_back(static_cast<uint8_t>(w >= 256 ? 0 : w));
    out.push_back(static_cast<uint8_t>(h >= 256 ? 0 : h));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);   // planes
    Put16(out, 32);  // bits
    Put32(out, imageSize);
    Put32(out, 22);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(w));
    Put32(out, static_cast<uint32_t>(h * 2));  // the colour and the mask
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);  // BI_RGB
    Put32(out, static_cast<uint32_t>(color.size() + mask.size()));
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    out.insert(out.end(), color.begin(), color.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

TIcon::TIcon() = default;

TIcon::~TIcon() {
    Clear();
}

void TIcon::Clear() {
    if (handle_) win::DestroyIcon(handle_);
    handle_ = nullptr;
    width_ = height_ = 0;
    data_.clear();
}

void TIcon::TakeHandle(win::HICON icon) {
    handle_ = icon;
    if (!IconSize(icon, width_, height_)) width_ = height_ = 0;
}

void TIcon::SetWidth(int width) {
    if (handle_) throw EInvalidGraphicOperation("Cannot change the size of an icon");
    requestedWidth_ = width;
}

void TIcon::SetHeight(int height) {
    if (handle_) throw EInvalidGraphicOperation("Cannot change the size of an icon");
    requestedHeight_ = height;
}

void TIcon::SetHandle(win::HICON icon) {
    if (icon == handle_) return;
    Clear();
    TakeHandle(icon);
    Changed();
}

win::HICON TIcon::ReleaseHandle() {
    win::HICON h = handle_;
    handle_ = nullptr;
    Clear();
    Changed();
    return h;
}

win::HICON TIcon::CopyOfSize(int cx, int cy) const {
    if (!handle_) return nullptr;
    if (!data_.empty())
        if (win::HICON icon = win::ReadIco(data_.data(), data_.size(), cx, cy, nullptr))
            return icon;
    return static_cast<win::HICON>(win::CopyImage(handle_, win::IMAGE_ICON, cx, cy, 0));
}

void TIcon::Assign(const TPersistent* source) {
    if (source == this) return;
    const auto* other = dynamic_cast<const TIcon*>(source);
    if (!other) {
        TGraphic::Assign(source);
        return;
    }
    Clear();
    if (other->handle_) {
        win::HICON copy = win::CopyIcon(other->handle_);
        if (!copy) throw EOutOfResources("Out of system resources");
        TakeHandle(copy);
    }
    data_ = other->data_;
    requestedWidth_ = other->requestedWidth_;
    requestedHeight_ = other->requestedHeight_;
    Changed();
}

void TIcon::LoadFromStream(TStream* stream) {
    const int64_t size = stream->Size() - stream->Position();
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size > 0 ? size : 0));
    if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    std::string error;
    win::HICON icon =
        win::ReadIco(bytes.data(), bytes.size(), requestedWidth_, requestedHeight_, &error);
    if (!icon) throw EInvalidGraphic(error.empty() ? "Icon image is not valid" : error);
    Clear();
    TakeHandle(icon);
    data_ = std::move(bytes);
    Changed();
}

void TIcon::SaveToStream(TStream* stream) {
    if (!handle_) return;
    if (data_.empty()) data_ = EncodeIco(handle_);
    if (data_.empty()) throw EInvalidGraphic("Icon image is not valid");
    stream->WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
    if (!handle_) return;
    win::DrawIconEx(canvas->Handle(), r.Left, r.Top, handle_, r.Width(), r.Height(), 0, nullptr,
                    win::DI_NORMAL);
}

}  // namespace vcl
