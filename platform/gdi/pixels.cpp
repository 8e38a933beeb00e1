// Pixel access over every bitmap format, and making bitmaps.
#include <bit>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/gdi/objects.h"

namespace win::detail {

namespace {

// Blocks below this size go straight to the allocator, which keeps them cheaply itself.
constexpr size_t kReusedFrom = size_t(256) << 10;
// The most kept for reuse: four bitmaps of a large window.
constexpr size_t kReuseLimit = size_t(16) << 20;

struct FreeBlock {
    BYTE* p;
    size_t capacity;
};

struct ReuseList {
    std::mutex lock;
    std::vector<FreeBlock> blocks;  // oldest first
    size_t bytes = 0;
};

ReuseList& Reused() {
    // Never destroyed: bitmaps of static objects may still be freed after it would be.
    static ReuseList* list = new ReuseList;
    return *list;
}

}  // namespace

BYTE* AllocPixels(size_t size, size_t& capacity, bool cleared) {
    capacity = size;
    if (size >= kReusedFrom) {
        ReuseList& list = Reused();
        BYTE* found = nullptr;
        {
            std::lock_guard<std::mutex> hold(list.lock);
            // The smallest block that fits without wasting more than half of it.
            auto best = list.blocks.end();
            for (auto it = list.blocks.begin(); it != list.blocks.end(); ++it)
                if (it->capacity >= size && it->capacity - size <= it->capacity / 2 &&
                    (best == list.blocks.end() || it->capacity < best->capacity))
                    best = it;
            if (best != list.blocks.end()) {
                found = best->p;
                capacity = best->capacity;
                list.bytes -= best->capacity;
                list.blocks.erase(best);
            }
        }
        if (found) {
            if (cleared) std::memset(found, 0, size);
            return found;
        }
    }
    return static_cast<BYTE*>(cleared ? std::calloc(size, 1) : std::malloc(size));
}

void ReleasePixels(BYTE* p, size_t capacity) {
    if (!p) return;
    if (capacity < kReusedFrom || capacity > kReuseLimit) {
        std::free(p);
        return;
    }
    std::vector<BYTE*> dropped;
    {
        ReuseList& list = Reused();
        std::lock_guard<std::mutex> hold(list.lock);
        list.blocks.push_back({p, capacity});
        list.bytes += capacity;
        while (list.bytes > kReuseLimit) {
            dropped.push_back(list.blocks.front().p);
            list.bytes -= list.blocks.front().capacity;
            list.blocks.erase(list.blocks.begin());
        }
    }
    for (BYTE* d : dropped)
        std::free(d);
}

int DibRowBytes(int width, int bpp) {
    return int(((int64_t(width) * bpp + 31) / 32) * 4);
}

std::shared_ptr<Bitmap> MakeBitmap(int width, int height, int bpp, bool bottomUp, bool cleared) {
    if (width <= 0 || height <= 0) return nullptr;
    if (int64_t(width) * height > kMaxBitmapPixels) return nullptr;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return nullptr;
    auto b = std::make_shared<Bitmap>();
    b->width = width;
    b->height = height;
    b->bpp = bpp;
    b->bottomUp = bottomUp;
    b->rowBytes = DibRowBytes(width, bpp);
    const size_t size = size_t(b->rowBytes) * size_t(height);
    size_t capacity = 0;
    BYTE* memory = AllocPixels(size, capacity, cleared);
    if (!memory) return nullptr;
    b->memory = std::unique_ptr<BYTE, Bitmap::FreeMemory>(memory, Bitmap::FreeMemory{capacity});
    b->bits = b->memory.get();
    if (bpp <= 8) {
        const int n = 1 << bpp;
        b->colors.resize(n);
        for (int i = 0; i < n; ++i) {
            const BYTE v = BYTE(i * 255 / (n - 1));
            b->colors[i] = RGBQUAD{v, v, v, 0};
        }
    }
    return b;
}

std::shared_ptr<Bitmap> CloneBitmap(const Bitmap& src) {
    auto b = MakeBitmap(src.width, src.height, src.bpp, src.bottomUp);
    if (!b) return nullptr;
    b->device = src.device;
    b->dib = src.dib;
    b->mono = src.mono;
    b->colors = src.colors;
    std::memcpy(b->bits, src.bits, size_t(src.rowBytes) * size_t(src.height));
    return b;
}

void MakeView(Bitmap& b, const BITMAPINFOHEADER& h, const RGBQUAD* colors, int colorCount,
              const void* bits) {
    b.width = h.biWidth;
    b.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    b.bpp = h.biBitCount;
    b.bottomUp = h.biHeight > 0;
    b.rowBytes = DibRowBytes(b.width, b.bpp);
    b.bits = static_cast<BYTE*>(const_cast<void*>(bits));
    if (colors) b.colors.assign(colors, colors + colorCount);
}

int NearestIndex::operator()(Pixel p) {
    p &= 0xFFFFFF;
    if (lastIndex_ >= 0 && p == lastPixel_) return lastIndex_;
    const int r = int(p >> 16) & 0xFF, g = int(p >> 8) & 0xFF, b = int(p) & 0xFF;
    int best = 0, bestDist = INT32_MAX;
    for (size_t i = 0; i < colors_.size(); ++i) {
        const int dr = r - colors_[i].rgbRed, dg = g - colors_[i].rgbGreen,
                  db = b - colors_[i].rgbBlue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = int(i);
            if (d == 0) break;
        }
    }
    lastPixel_ = p;
    lastIndex_ = best;
    return best;
}

namespace {

Pixel Lookup(const Bitmap& b, unsigned index) {
    return index < b.colors.size() ? QuadToPixel(b.colors[index]) : 0;
}

void StoreIndex(BYTE* row, int bpp, int c, int v) {
    if (bpp == 8) {
        row[c] = BYTE(v);
    } else if (bpp == 4) {
        BYTE& byte = row[c >> 1];
        byte = (c & 1) ? BYTE((byte & 0xF0) | v) : BYTE((byte & 0x0F) | (v << 4));
    } else {
        BYTE& byte = row[c >> 3];
        const BYTE bit = BYTE(0x80 >> (c & 7));
        byte = v ? BYTE(byte | bit) : BYTE(byte & ~bit);
    }
}

}  // namespace

void ReadPixels(const Bitmap& b, int x, int y, int n, Pixel* out) {
    const BYTE* row = b.Row(y);
    switch (b.bpp) {
        case 32:
            std::memcpy(out, row + size_t(x) * 4, size_t(n) * 4);
            return;
        case 24: {
            const BYTE* p = row + size_t(x) * 3;
            // Four bytes at a time less the next pixel's first; the last pixel byte by byte, as
            // nothing may follow it in memory.
            int i = 0;
            if constexpr (std::endian::native == std::endian::little) {
                for (; i + 1 < n; ++i, p += 3) {
                    Pixel v;
                    std::memcpy(&v, p, 4);
                    out[i] = v & 0xFFFFFF;
                }
            }
            for (; i < n; ++i, p += 3)
                out[i] = Pixel(p[0]) | (Pixel(p[1]) << 8) | (Pixel(p[2]) << 16);
            return;
        }
        case 8:
            for (int i = 0; i < n; ++i)
                out[i] = Lookup(b, row[x + i]);
            return;
        case 4:
            for (int i = 0; i < n; ++i) {
                const int c = x + i;
                out[i] = Lookup(b, (row[c >> 1] >> ((c & 1) ? 0 : 4)) & 0xF);
            }
            return;
        case 1:
            for (int i = 0; i < n; ++i) {
                const int c = x + i;
                out[i] = Lookup(b, (row[c >> 3] >> (7 - (c & 7))) & 1);
            }
            return;
    }
}

void WritePixels(Bitmap& b, int x, int y, int n, const Pixel* in) {
    BYTE* row = b.Row(y);
    switch (b.bpp) {
        case 32:
            std::memcpy(row + size_t(x) * 4, in, size_t(n) * 4);
            return;
        case 24: {
            BYTE* p = row + size_t(x) * 3;
            for (int i = 0; i < n; ++i, p += 3) {
                p[0] = BYTE(in[i]);
                p[1] = BYTE(in[i] >> 8);
                p[2] = BYTE(in[i] >> 16);
            }
            return;
        }
    }
    NearestIndex nearest(b.colors);
    for (int i = 0; i < n; ++i) {
        const int c = x + i;
        const int v = nearest(in[i]);
        StoreIndex(row, b.bpp, c, v);
    }
}

Pixel ReadPixel(const Bitmap& b, int x, int y) {
    Pixel p = 0;
    ReadPixels(b, x, y, 1, &p);
    return p;
}

void WritePixel(Bitmap& b, int x, int y, Pixel p) {
    WritePixels(b, x, y, 1, &p);
}

void FillPixels(Bitmap& b, int x, int y, int n, Pixel p) {
    if (n <= 0) return;
    if (b.bpp == 32) {
        Pixel* d = b.Row32(y) + x;
        for (int i = 0; i < n; ++i)
            d[i] = p;
        return;
    }
    if (b.bpp == 24) {
        BYTE* d = b.Row(y) + size_t(x) * 3;
        const BYTE c0 = BYTE(p), c1 = BYTE(p >> 8), c2 = BYTE(p >> 16);
        if (c0 == c1 && c1 == c2) {  // grey, white and black: every byte alike
            std::memset(d, c0, size_t(n) * 3);
            return;
        }
        for (int i = 0; i < n; ++i, d += 3) {
            d[0] = c0;
            d[1] = c1;
            d[2] = c2;
        }
        return;
    }
    // Indexed: find the entry once, then write the index.
    const int v = NearestIndex(b.colors)(p);
    BYTE* row = b.Row(y);
    for (int i = 0; i < n; ++i) {
        const int c = x + i;
        StoreIndex(row, b.bpp, c, v);
    }
}

}  // namespace win::detail
