// Finding and realising fonts: classic face names mapped to the bundled fonts, fontconfig for
// the rest, FreeType for the glyphs, and the window-button glyphs of "Webdings" drawn here.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/gdi/font_impl.h"
#include "platform/os/cp1251.h"

namespace win::detail {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kDejaVuDir = "/usr/share/fonts/truetype/dejavu/";

std::string Lower(const char* s) {
    std::string r;
    for (; *s; ++s)
        r += char(os::LowerCp1251(BYTE(*s)));
    return r;
}

enum class Family { Sans, Serif, Mono, Webdings };

// The faces the program's texts name, and where they live on this system.
bool ClassicFamily(const std::string& face, Family& f) {
    static const char* const kSans[] = {"",
                                        "ms sans serif",
                                        "microsoft sans serif",
                                        "ms shell dlg",
                                        "ms shell dlg 2",
                                        "tahoma",
                                        "arial",
                                        "arial cyr",
                                        "verdana",
                                        "segoe ui",
                                        "system",
                                        "helvetica",
                                        "trebuchet ms",
                                        "lucida sans unicode",
                                        "small fonts",
                                        "dejavu sans"};
    static const char* const kSerif[] = {
        "times new roman", "times new roman cyr", "ms serif", "times", "georgia", "dejavu serif"};
    static const char* const kMono[] = {"courier new", "courier",  "lucida console",  "fixedsys",
                                        "terminal",    "consolas", "dejavu sans mono"};
    for (const char* n : kSans)
        if (face == n) return (f = Family::Sans), true;
    for (const char* n : kSerif)
        if (face == n) return (f = Family::Serif), true;
    for (const char* n : kMono)
        if (face == n) return (f = Family::Mono), true;
    if (face == "webdings") return (f = Family::Webdings), true;
    return false;
}

struct FaceFile {
    std::string path;
    int index = 0;
    bool bold = false;    // the file itself is bold
    bool italic = false;  // the file itself slants
};

// The bundled file of a family, style included; found by name so the answer never depends on
// what else is installed.
FaceFile Bundled(Family f, bool bold, bool italic) {
    const char* base = f == Family::Serif  ? "DejaVuSerif"
                       : f == Family::Mono ? "DejaVuSansMono"
                                           : "DejaVuSans";
    const char* slant = f == Family::Serif ? "Italic" : "Oblique";
    std::string style = std::string(bold ? "Bold" : "") + (italic ? slant : "");
    FaceFile ff;
    ff.path = std::string(kDejaVuDir) + base + (style.empty() ? "" : "-" + style) + ".ttf";
    ff.bold = bold;
    ff.italic = italic;
    FILE* probe = std::fopen(ff.path.c_str(), "rb");
    if (probe) {
        std::fclose(probe);
        return ff;
    }
    // Without the styled file the plain one is emboldened or slanted instead.
    ff.path = std::string(kDejaVuDir) + base + ".ttf";
    ff.bold = ff.italic = false;
    return ff;
}

// A face that is not one of the classic names: fontconfig's match, taken only when it really
// is that family (so an unknown name falls back to the bundled sans, not to whatever
// fontconfig prefers today).
bool FindInstalled(const std::string& utf8Face, bool bold, bool italic, FaceFile& out) {
    static std::mutex lock;
    std::lock_guard g(lock);
    static const bool ready = [] {
        if (!FcInit()) return false;
        std::atexit(FcFini);  // gives back fontconfig's own tables at exit
        return true;
    }();
    if (!ready) return false;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(utf8Face.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    bool ok = false;
    if (match) {
        FcChar8* family = nullptr;
        FcChar8* file = nullptr;
        int index = 0, weight = 0, slant = 0;
        for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
            if (strcasecmp(reinterpret_cast<const char*>(family), utf8Face.c_str()) == 0) {
                ok = true;
                break;
            }
        }
        if (ok && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(match, FC_SLANT, 0, &slant);
            out.path = reinterpret_cast<const char*>(file);
            out.index = index;
            out.bold = weight >= FC_WEIGHT_DEMIBOLD;
            out.italic = slant != FC_SLANT_ROMAN;
        } else {
            ok = false;
        }
        FcPatternDestroy(match);
    }
    return ok;
}

FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        FT_Init_FreeType(&l);
        return l;
    }();
    return lib;
}

int Round(double v) {
    return int(std::lround(v));
}

// Sizes follow the platform: a negative height is the em, a positive one the cell
// (ascent + descent), 0 a 16-pixel cell.
double EmFor(LONG height, double cellPerEm) {
    if (height < 0) return -double(height);
    if (height == 0) height = 16;
    return height / cellPerEm;
}

class FreeTypeFace : public FaceRealization {
public:
    FreeTypeFace(const LOGFONT& lf, const FaceFile& file, FT_Face face) : face_(face) {
        file_ = file.path;
        escapement_ = lf.lfEscapement;
        const bool wantBold = lf.lfWeight >= FW_SEMIBOLD;
        emboldenBold_ = wantBold && !file.bold;
        slant_ = lf.lfItalic && !file.italic;
        mono_ = lf.lfQuality == NONANTIALIASED_QUALITY;
        const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        const double upem = face->units_per_EM ? face->units_per_EM : 2048;
        const double winAsc = os2 ? os2->usWinAscent : face->ascender;
        const double winDesc = os2 ? os2->usWinDescent : -face->descender;
        em_ = std::max(1.0, EmFor(lf.lfHeight, (winAsc + winDesc) / upem));
        const int emPx = std::max(1, Round(em_));
        const double scale = emPx / upem;
        int widthPx = emPx;
        if (lf.lfWidth > 0 && os2 && os2->xAvgCharWidth > 0)
            widthPx = std::max(1, Round(emPx * lf.lfWidth / (os2->xAvgCharWidth * scale)));
        FT_Set_Pixel_Sizes(face, FT_UInt(widthPx), FT_UInt(emPx));
        xScale_ = double(widthPx) / emPx;
        if (escapement_ % 3600 != 0) {
            const double a = escapement_ / 10.0 * kPi / 180.0;
            FT_Matrix m;
            m.xx = FT_Fixed(std::lround(std::cos(a) * 65536));
            m.xy = FT_Fixed(std::lround(-std::sin(a) * 65536));
            m.yx = FT_Fixed(std::lround(std::sin(a) * 65536));
            m.yy = m.xx;
            FT_Set_Transform(face, &m, nullptr);
        }
        TEXTMETRIC& tm = metrics_;
        tm.tmAscent = Round(winAsc * scale);
        tm.tmDescent = Round(winDesc * scale);
        tm.tmHeight = tm.tmAscent + tm.tmDescent;
        tm.tmInternalLeading = std::max(0, tm.tmHeight - emPx);
        // The line spacing beyond the cell (face->height holds the line gap).
        const double lineGap = face->height - (winAsc + winDesc);
        tm.tmExternalLeading = std::max(0, Round(lineGap * scale));
        tm.tmAveCharWidth =
            os2 ? std::max(1, Round(os2->xAvgCharWidth * scale * xScale_)) : emPx / 2;
        tm.tmMaxCharWidth = Round(face->max_advance_width * scale * xScale_);
        tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
        tm.tmItalic = lf.lfItalic ? 1 : 0;
        tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
        tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
        const bool fixed = FT_IS_FIXED_WIDTH(face);
        tm.tmPitchAndFamily = BYTE((fixed ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                                   (fixed ? FF_MODERN : FF_SWISS));
        tm.tmCharSet = lf.lfCharSet;
        underlineThick_ = std::max(1, Round(face->underline_thickness * scale));
        underlinePos_ = std::max(1, Round(-face->underline_position * scale));
        strikeoutPos_ = os2 ? std::max(1, Round(os2->yStrikeoutPosition * scale)) : tm.tmAscent / 3;
        if (emboldenBold_) tm.tmMaxCharWidth += 1;
    }
    ~FreeTypeFace() override { FT_Done_Face(face_); }

protected:
    void Render(BYTE c, Glyph& g) override {
        const char16_t u = os::Cp1251ToUnicode(c);
        if (u < 0x20) return;  // control characters take no room
        FT_Int32 flags = FT_LOAD_NO_BITMAP | (mono_ ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
        if (FT_Load_Char(face_, u, flags)) return;
        FT_GlyphSlot slot = face_->glyph;
        FT_Pos extra = 0;
        if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            if (slant_) {
                FT_Matrix shear{0x10000, 0x3333, 0, 0x10000};  // about 11 degrees
                FT_Outline_Transform(&slot->outline, &shear);
            }
            if (emboldenBold_) {
                extra = std::max<FT_Pos>(64, FT_Pos(em_ * 64 / 24));
                FT_Outline_EmboldenXY(&slot->outline, extra, 0);
            }
        }
        FT_Render_Glyph(slot, mono_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL);
        const FT_Bitmap& bm = slot->bitmap;
        g.width = int(bm.width);
        g.height = int(bm.rows);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.coverage.assign(size_t(g.width) * size_t(g.height), 0);
        for (int y = 0; y < g.height; ++y) {
            const unsigned char* src = bm.buffer + ptrdiff_t(y) * bm.pitch;
            for (int x = 0; x < g.width; ++x) {
                const BYTE v = bm.pixel_mode == FT_PIXEL_MODE_MONO
                                   ? BYTE(((src[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0)
                                   : src[x];
                g.coverage[size_t(y) * size_t(g.width) + size_t(x)] = v;
            }
        }
        g.advanceX = int(slot->advance.x + extra);
        g.advanceY = int(slot->advance.y);
        g.advance = int((slot->advance.x + extra + 32) >> 6);
        if (escapement_ % 3600 != 0) {
            // The advance along the baseline, whatever the angle.
            g.advance = Round(std::hypot(double(slot->advance.x), double(slot->advance.y)) / 64.0);
        }
    }

private:
    FT_Face face_;
    double em_ = 12;
    double xScale_ = 1;
    bool emboldenBold_ = false;
    bool slant_ = false;
    bool mono_ = false;
};

// The window-button glyphs: drawn from simple shapes with 4 x 4 samples per pixel.
class WebdingsFace : public FaceRealization {
public:
    explicit WebdingsFace(const LOGFONT& lf) {
        em_ = std::max(4, Round(EmFor(lf.lfHeight, 1.0)));
        file_ = "(built-in window-button glyphs)";
        TEXTMETRIC& tm = metrics_;
        tm.tmAscent = Round(em_ * 0.8);
        tm.tmDescent = em_ - tm.tmAscent;
        tm.tmHeight = em_;
        tm.tmAveCharWidth = em_;
        tm.tmMaxCharWidth = em_;
        tm.tmWeight = FW_NORMAL;
        tm.tmCharSet = SYMBOL_CHARSET;
        tm.tmPitchAndFamily = TMPF_VECTOR | TMPF_TRUETYPE;
    }

protected:
    void Render(BYTE c, Glyph& g) override {
        g.advance = em_;
        g.advanceX = em_ * 64;
        const double t = std::max(1.0, em_ / 9.0);  // stroke
        // The box the glyph fills, in pixels from the pen position (y down from the top).
        const double x0 = em_ * 0.15, x1 = em_ * 0.85, y0 = em_ * 0.1, y1 = em_ * 0.8;
        auto inRect = [](double x, double y, double l, double tp, double r, double b) {
            return x >= l && x < r && y >= tp && y < b;
        };
        auto frame = [&](double x, double y, double l, double tp, double r, double b, double top) {
            return inRect(x, y, l, tp, r, b) && !inRect(x, y, l + t, tp + top, r - t, b - t);
        };
        std::function<bool(double, double)> inside;
        switch (c) {
            case '0':  // minimise: a bar at the bottom
                inside = [=](double x, double y) {
                    return inRect(x, y, x0, y1 - 2 * t, x1 - t, y1);
                };
                break;
            case '1':  // maximise: a window with a thick title
                inside = [=](double x, double y) { return frame(x, y, x0, y0, x1, y1, 2 * t); };
                break;
            case '2': {  // restore: two windows, the front one lower left
                const double s = (x1 - x0) * 0.3;
                inside = [=](double x, double y) {
                    const bool front = frame(x, y, x0, y0 + s, x1 - s, y1, 2 * t);
                    const bool back = frame(x, y, x0 + s, y0, x1, y1 - s, 2 * t) &&
                                      !inRect(x, y, x0, y0 + s, x1 - s, y1);
                    return front || back;
                };
                break;
            }
            case 'r': {  // close: a cross
                inside = [=](double x, double y) {
                    if (!inRect(x, y, x0, y0, x1, y1)) return false;
                    const double u = (x - x0) / (x1 - x0), v = (y - y0) / (y1 - y0);
                    const double d = (x1 - x0) * std::min(std::fabs(u - v), std::fabs(u + v - 1)) /
                                     std::sqrt(2.0);
                    return d < t * 0.75;
                };
                break;
            }
            case '3':
            case '4':
            case '5':
            case '6': {  // arrows: left, right, up, down
                const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, h = (x1 - x0) * 0.3;
                inside = [=](double x, double y) {
                    double along = 0, across = 0;
                    switch (c) {
                        case '3':
                            along = cx + h / 2 - x, across = y - cy;
                            break;
                        case '4':
                            along = x - (cx - h / 2), across = y - cy;
                            break;
                        case '5':
                            along = cy + h / 2 - y, across = x - cx;
                            break;
                        default:
                            along = y - (cy - h / 2), across = x - cx;
                            break;
                    }
                    return along >= 0 && along < h && std::fabs(across) < h - along;
                };
                break;
            }
            default:
                return;
        }
        g.left = 0;
        g.top = metrics_.tmAscent;
        g.width = g.height = em_;
        g.coverage.assign(size_t(em_) * size_t(em_), 0);
        for (int y = 0; y < em_; ++y)
            for (int x = 0; x < em_; ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
                g.coverage[size_t(y) * size_t(em_) + size_t(x)] = BYTE(hits * 255 / 16);
            }
    }

private:
    int em_ = 12;
};

using CacheKey = std::tuple<std::string, LONG, LONG, LONG, LONG, BYTE, BYTE, BYTE, BYTE>;

}  // namespace

const Glyph& FaceRealization::GlyphOf(BYTE c) {
    auto& g = glyphs_[c];
    if (!g) {
        g = std::make_unique<Glyph>();
        Render(c, *g);
    }
    return *g;
}

std::shared_ptr<FaceRealization> Realize(const LOGFONT& lf) {
    static std::mutex lock;
    static std::map<CacheKey, std::shared_ptr<FaceRealization>> cache;
    static std::deque<CacheKey> order;
    const std::string face = Lower(lf.lfFaceName);
    const CacheKey key{face,
                       lf.lfHeight,
                       lf.lfWidth,
                       lf.lfEscapement,
                       lf.lfWeight >= FW_SEMIBOLD,
                       BYTE(lf.lfItalic != 0),
                       lf.lfQuality == NONANTIALIASED_QUALITY,
                       lf.lfCharSet,
                       lf.lfPitchAndFamily};
    std::lock_guard g(lock);
    if (auto it = cache.find(key); it != cache.end()) return it->second;

    std::shared_ptr<FaceRealization> made;
    const bool bold = lf.lfWeight >= FW_SEMIBOLD, italic = lf.lfItalic != 0;
    Family fam = Family::Sans;
    FaceFile file;
    if (ClassicFamily(face, fam)) {
        if (fam == Family::Webdings)
            made = std::make_shared<WebdingsFace>(lf);
        else
            file = Bundled(fam, bold, italic);
    } else if (!FindInstalled(os::Cp1251ToUtf8(lf.lfFaceName), bold, italic, file)) {
        // Unknown faces fall back by their pitch and family.
        const int family = lf.lfPitchAndFamily & 0xF0;
        fam = (lf.lfPitchAndFamily & 3) == FIXED_PITCH || family == FF_MODERN ? Family::Mono
              : family == FF_ROMAN                                            ? Family::Serif
                                                                              : Family::Sans;
        file = Bundled(fam, bold, italic);
    }
    if (!made) {
        FT_Face ftFace = nullptr;
        if (!Library() || FT_New_Face(Library(), file.path.c_str(), file.index, &ftFace)) {
            FaceFile fallback = Bundled(Family::Sans, bold, italic);
            if (!Library() || FT_New_Face(Library(), fallback.path.c_str(), 0, &ftFace)) {
                made = std::make_shared<WebdingsFace>(lf);  // nothing to read: at least sizes
            } else {
                file = fallback;
            }
        }
        if (!made) made = std::make_shared<FreeTypeFace>(lf, file, ftFace);
    }
    cache.emplace(key, made);
    order.push_back(key);
    if (order.size() > 256) {
        cache.erase(order.front());
        order.pop_front();
    }
    return made;
}

FaceRealization& Font::Face() {
    if (!face_) face_ = Realize(lf);
    return *face_;
}

}  // namespace win::detail
