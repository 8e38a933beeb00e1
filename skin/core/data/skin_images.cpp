#include "skin/core/data/skin_images.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "platform/os/cp1251.h"
#include "platform/os/dir_search.h"
#include "platform/os/files.h"
#include "skin/core/data/stored_skins.h"
#include "skin/core/pixels/png_graphic.h"
#include "skin/core/pixels/text_utils.h"
#include "vcl/system/sysutils.h"

namespace skin {

namespace {

using StreamPtr = std::unique_ptr<vcl::TStream, vcl::FreeDeleter>;

// Reads the bytes of a packed entry in place.
class TEntryStream : public vcl::TCustomMemoryStream {
public:
    explicit TEntryStream(const vcl::TMemoryStream& data) {
        SetPointer(data.Memory(), data.MemorySize());
    }
};

// A file a key names, found but not yet read.
struct SkinFile {
    std::string Place;                    // the entry's or the file's name, for error messages
    std::string Key;                      // the same for every key naming this file
    const TacImageItem* Item = nullptr;   // a packed skin's entry
    std::string Path;                     // else the file, as an operating-system path
};

// The entry of `name` (UTF-8) in `folder`, matched ignoring ASCII case; empty when none.
std::string FindIgnoringCase(const std::string& folder, const std::string& name) {
    os::DirSearch search(folder + "*");
    for (os::DirEntry e; search.Next(e);) {
        if (vcl::SameText(e.name, name)) return e.name;
    }
    return {};
}

// The file a key names in a folder skin, as an operating-system path; empty when none.
std::string ResolveFolderFile(const std::string& folder, std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty()) return {};
    // A drive or stream name ("c:\x.bmp") names no file on this system.
    if (name.find(':') != std::string::npos) return {};
    if (name.front() == '/') {
        const std::string path = vcl::SysPath(name);
        return os::FileExists(path) ? path : std::string();
    }
    std::string base = vcl::SysPath(folder);
    std::replace(base.begin(), base.end(), '\\', '/');
    if (!base.empty() && base.back() != '/') base += '/';
    const std::string utf8 = vcl::SysPath(name);
    if (os::FileExists(base + utf8)) return base + utf8;
    // Skins are written for file systems that ignore letter case: each folder and the file
    // are taken as written when they exist, else ignoring ASCII case.
    std::string path = base;
    std::string_view rest = utf8;
    while (!rest.empty()) {
        const size_t slash = rest.find('/');
        const std::string part(rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty()) continue;
        const bool exists = os::FileExists(path + part) || os::DirectoryExists(path + part);
        const std::string found = exists ? part : FindIgnoringCase(path, part);
        if (found.empty()) return {};
        path += found;
        if (!rest.empty()) path += '/';
    }
    return os::FileExists(path) ? path : std::string();
}

// The file of the picture `name` names: in a packed skin its entry (unless `searchPacked` is
// false, as for the common sections), else the file.
std::optional<SkinFile> FindSkinFile(const SkinSource& source, const std::string& name,
                                     bool searchPacked) {
    if (name.empty()) return std::nullopt;
    if (source.IsPacked() && searchPacked) {
        const TacImageItem* item = source.Convertor->FindImage(name);
        if (!item || !item->Data) return std::nullopt;
        return SkinFile{item->Name, "entry:" + item->Name, item, {}};
    }
    std::string path = ResolveFolderFile(source.SkinFolder, name);
    if (path.empty()) return std::nullopt;
    return SkinFile{os::Utf8ToCp1251(path), "file:" + path, nullptr, std::move(path)};
}

// Each file of one load is decoded once, and the pictures every key takes from it are shared;
// all that is decoded stays within the source's budget, past which the load fails at the
// picture that passed it.
class SkinPictures {
public:
    explicit SkinPictures(const SkinSource& source) : budget_(source.PictureBudget) {}

    // The picture, as its file holds it (PNG: 32-bit, the transparent white cleared).
    SharedPicture<vcl::TBitmap> Bitmap(const SkinFile& file, bool png) {
        SharedPicture<vcl::TBitmap>& slot = bitmaps_[(png ? "png:" : "bmp:") + file.Key];
        if (!slot) {
            slot = png ? ReadPng(file) : ReadBmp(file);
            Spend(BytesOf(*slot), file.Place);
        }
        return slot;
    }
    // The picture in 24 bits: itself when it is, else one converted copy, shared as well.
    SharedPicture<vcl::TBitmap> Bitmap24(const SkinFile& file,
                                         const SharedPicture<vcl::TBitmap>& picture) {
        if (picture->PixelFormat() == pf24bit) return picture;
        return Derived("24:" + file.Key, file.Place, [&] {
            BitmapPtr copy(vcl::New<vcl::TBitmap>());
            copy->Assign(picture.get());
            copy->SetPixelFormat(pf24bit);
            return copy;
        });
    }
    SharedPicture<vcl::TJPEGImage> Jpeg(const SkinFile& file) {
        SharedPicture<vcl::TJPEGImage>& slot = jpegs_[file.Key];
        if (!slot) {
            JpegPtr jpeg(vcl::New<vcl::TJPEGImage>());
            ReadPicture(*jpeg, file);
            // Decoded now, so that a damaged picture fails the load rather than a later paint.
            AtPlace(file.Place, [&] { jpeg->DIBNeeded(); });
            Spend(int64_t(jpeg->Width()) * jpeg->Height() * 4, file.Place);
            slot = std::move(jpeg);
        }
        return slot;
    }
    // A small JPEG picture as a 24-bit bitmap for tiling.
    SharedPicture<vcl::TBitmap> JpegTile(const SkinFile& file, vcl::TJPEGImage& jpeg) {
        return Derived("tile:" + file.Key, file.Place, [&] {
            BitmapPtr bmp(vcl::New<vcl::TBitmap>());
            bmp->Assign(jpeg.Bitmap());
            bmp->SetPixelFormat(pf24bit);
            return bmp;
        });
    }
    // Reads the file into `picture` (the master bitmap).
    void ReadInto(vcl::TBitmap& picture, const SkinFile& file) {
        ReadPicture(picture, file);
        Spend(BytesOf(picture), file.Place);
    }

private:
    static int64_t BytesOf(vcl::TBitmap& bmp) {
        const int bits = vcl::BitsOfPixelFormat(bmp.PixelFormat());
        return int64_t(bmp.Width()) * bmp.Height() * (bits ? bits : 32) / 8;
    }
    void Spend(int64_t bytes, const std::string& place) {
        spent_ += bytes;
        if (spent_ > budget_) {
            throw vcl::EOutOfResources("Skin pictures take more than " +
                                       std::to_string(budget_ >> 20) + " MB (" + place + ")");
        }
    }
    template <typename Make>
    SharedPicture<vcl::TBitmap> Derived(const std::string& key, const std::string& place,
                                        Make make) {
        SharedPicture<vcl::TBitmap>& slot = bitmaps_[key];
        if (!slot) {
            slot = make();
            Spend(BytesOf(*slot), place);
        }
        return slot;
    }
    // The file's bytes; a folder file larger than what is left of the budget is not read.
    StreamPtr Open(const SkinFile& file) {
        if (file.Item) return StreamPtr(new TEntryStream(*file.Item->Data));
        const std::optional<uint64_t> size = os::FileSize(file.Path);
        if (size && int64_t(*size) > budget_ - spent_) Spend(int64_t(*size), file.Place);
        std::optional<std::string> bytes = size ? os::ReadWholeFile(file.Path) : std::nullopt;
        if (!bytes) throw vcl::EFOpenError("Cannot read file \"" + file.Place + "\"");
        return StreamPtr(new vcl::TStringStream(std::move(*bytes)));
    }
    // A picture that cannot be read raises its decoder's error, named after its file.
    template <typename Picture>
    void ReadPicture(Picture& picture, const SkinFile& file) {
        StreamPtr stream = Open(file);
        AtPlace(file.Place, [&] { picture.LoadFromStream(stream.get()); });
    }
    BitmapPtr ReadBmp(const SkinFile& file) {
        BitmapPtr bmp(vcl::New<vcl::TBitmap>());
        ReadPicture(*bmp, file);
        return bmp;
    }
    BitmapPtr ReadPng(const SkinFile& file) {
        TPNGGraphic png;
        ReadPicture(png, file);
        BitmapPtr bmp(vcl::New<vcl::TBitmap>());
        bmp->Assign(&png);
        ClearTransparentWhite(bmp.get());
        return bmp;
    }

    int64_t budget_;
    int64_t spent_ = 0;
    std::unordered_map<std::string, SharedPicture<vcl::TBitmap>> bitmaps_;
    std::unordered_map<std::string, SharedPicture<vcl::TJPEGImage>> jpegs_;
};

void SetMasterFormat(vcl::TBitmap* master) {
    master->SetPixelFormat(pf24bit);
    master->SetHandleType(vcl::bmDIB);
    master->SetTransparent(true);
    master->SetTransparentColor(kTransparentKey);
}

std::string UpperText(std::string_view s) {
    return vcl::AnsiUpperCase(s);
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// Characters a to b (from 1) of a fixed-position value, as an integer.
int32_t Field(const std::string& value, int a, int b) {
    const std::string text =
        value.size() >= size_t(a) ? value.substr(size_t(a - 1), size_t(b - a + 1)) : std::string();
    if (value.size() < size_t(b))
        throw vcl::EConvertError("'" + text + "' is not a valid integer value");
    return vcl::StrToInt(text);
}

int32_t Word(int n, const std::string& text, const TCharSet& delims) {
    return vcl::StrToInt(ExtractWord(n, text, delims));
}

// Borders of a third of one state's width and height; ImageCount and MaskType count as at
// least 1 and 0.
void ComputeBorders(TsMaskData& m) {
    const int64_t count = std::max<int>(m.ImageCount, 1), rows = std::max<int>(m.MaskType, 0) + 1;
    m.WL = m.WR = int16_t((int64_t(m.R.Right) - m.R.Left) / (count * 3));
    m.WT = m.WB = int16_t((int64_t(m.R.Bottom) - m.R.Top) / (rows * 3));
}

void CompleteBorders(TsMaskData& m) {
    if (m.WL + m.WT + m.WR + m.WB != 0) return;
    if (m.BorderWidth != 0) {
        m.WL = m.WT = m.WR = m.WB = m.BorderWidth;
    } else {
        ComputeBorders(m);
    }
}

TRect WholePicture(const vcl::TBitmap& bmp) {
    return {0, 0, bmp.Width(), bmp.Height()};
}

// Appends the masks that image keys describe to one skin.
class MaskLoader {
public:
    MaskLoader(TsSkinContent& skin, const SkinSource& source, SkinPictures& pictures)
        : skin_(skin), source_(source), pictures_(pictures) {}

    // The image key `key` of `section` with `value`; `common` for the common sections.
    void Add(const std::string& section, const std::string& key, const std::string& value,
             const std::string& place, bool common);

private:
    TsMaskData& Append(const std::string& section, const std::string& key) {
        TsMaskData& m = skin_.Masks.emplace_back();
        m.SectionName = section;
        m.PropertyName = key;
        m.Manager = &skin_;
        return m;
    }
    void MasterRect(TsMaskData& m, const std::string& v) {
        m.R = {Field(v, 2, 5), Field(v, 7, 10), Field(v, 12, 15), Field(v, 17, 20)};
    }
    void AddOwnPicture(const std::string& section, const std::string& key, const std::string& v,
                       const std::string& place);
    void AddRectWords(const std::string& section, const std::string& key, const std::string& v,
                      const std::string& place);
    void AddBmpFile(const std::string& section, const std::string& key, const std::string& v,
                    bool searchPacked);

    TsSkinContent& skin_;
    const SkinSource& source_;
    SkinPictures& pictures_;
};

void MaskLoader::Add(const std::string& section, const std::string& key, const std::string& v,
                     const std::string& place, bool common) {
    if (v.empty()) return;
    if (!common) {
        switch (v.front()) {
            case '~': {
                TsMaskData& m = Append(section, key);
                m.ImgType = itisaTexture;
                m.ImageCount = 1;
                AtPlace(place, [&] {
                    MasterRect(m, v);
                    m.StretchMode = uint16_t(Field(v, 22, 23));
                    m.MaskType = int16_t(v.size() > 24 ? Field(v, 25, 25) : 0);
                });
                return;
            }
            case '@': {
                TsMaskData& m = Append(section, key);
                m.ImgType = itisaGlyph;
                AtPlace(place, [&] {
                    MasterRect(m, v);
                    m.ImageCount = int16_t(Field(v, 22, 22));
                    m.MaskType = int16_t(Field(v, 24, 24));
                });
                return;
            }
            case '^': {
                TsMaskData& m = Append(section, key);
                m.ImgType = itisaBorder;
                AtPlace(place, [&] {
                    MasterRect(m, v);
                    m.WL = int16_t(Field(v, 22, 25));
                    m.WT = int16_t(Field(v, 27, 30));
                    m.WR = int16_t(Field(v, 32, 35));
                    m.WB = int16_t(Field(v, 37, 40));
                    m.ImageCount = int16_t(Field(v, 42, 42));
                    m.MaskType = int16_t(Field(v, 44, 44));
                    m.StretchMode = uint16_t(Field(v, 46, 46));
                    m.BorderWidth = int16_t(Field(v, 48, 48));
                });
                CompleteBorders(m);
                return;
            }
            case '!':
                AddOwnPicture(section, key, v, place);
                return;
            default:
                break;
        }
    }
    if (Contains(v, "#") && v != "#") {
        AddRectWords(UpperText(section), UpperText(key), v, place);
    } else if (Contains(UpperText(v), ".BMP")) {
        AddBmpFile(UpperText(section), UpperText(key), UpperText(v), !common);
    }
}

void MaskLoader::AddOwnPicture(const std::string& section, const std::string& key,
                               const std::string& v, const std::string& place) {
    static const TCharSet kBang("!");
    const std::string name = ExtractWord(1, v, kBang);
    const bool bmp = Contains(name, ".BMP");
    if (!bmp && !Contains(name, ".PNG")) return;
    std::optional<SkinFile> file = FindSkinFile(source_, name, true);
    if (!file) return;
    SharedPicture<vcl::TBitmap> picture = pictures_.Bitmap(*file, !bmp);
    if (picture->Width() == 0) return;
    TsMaskData& m = Append(section, key);
    m.Bmp = picture;
    m.StretchMode = smPaintCentre;
    m.R = WholePicture(*m.Bmp);
    AtPlace(place, [&] {
        const int32_t type = Word(4, v, kBang);
        // As a byte, a negative type lies above 4 as well.
        m.ImgType = type < 0 || type > itisaPngGlyph ? itisaPngGlyph : TacImgType(type);
        if (bmp && m.ImgType != itisaTexture) m.Bmp = pictures_.Bitmap24(*file, picture);
        m.ImageCount = int16_t(Word(2, v, kBang));
        m.MaskType = int16_t(Word(3, v, kBang));
        if (WordCount(v, kBang) > 4) {
            m.WL = int16_t(Word(5, v, kBang));
            m.WT = int16_t(Word(6, v, kBang));
            m.WR = int16_t(Word(7, v, kBang));
            m.WB = int16_t(Word(8, v, kBang));
        } else {
            ComputeBorders(m);
        }
    });
}

void MaskLoader::AddRectWords(const std::string& section, const std::string& key,
                              const std::string& v, const std::string& place) {
    static const TCharSet kGroups(" ()"), kNumbers(" ,");
    TsMaskData& m = Append(section, key);
    m.ImgType = itisaBorder;
    AtPlace(place, [&] {
        const std::string rect = ExtractWord(2, v, kGroups), numbers = ExtractWord(3, v, kGroups);
        m.R = {Word(1, rect, kNumbers), Word(2, rect, kNumbers), Word(3, rect, kNumbers),
               Word(4, rect, kNumbers)};
        const int n = WordCount(numbers, kNumbers);
        m.ImageCount = int16_t(std::max(Word(1, numbers, kNumbers), 1));
        m.MaskType = int16_t(std::max(Word(2, numbers, kNumbers), 0));
        m.BorderWidth = int16_t(n >= 3 ? std::max(Word(3, numbers, kNumbers), 0) : 0);
        m.StretchMode = uint16_t(n >= 4 ? Word(4, numbers, kNumbers) : smStretch);
    });
    CompleteBorders(m);
}

void MaskLoader::AddBmpFile(const std::string& section, const std::string& key,
                            const std::string& name, bool searchPacked) {
    std::optional<SkinFile> file = FindSkinFile(source_, name, searchPacked);
    if (!file) return;
    const SharedPicture<vcl::TBitmap> picture = pictures_.Bitmap(*file, false);
    if (picture->Width() <= 0) return;
    TsMaskData& m = Append(section, key);
    m.Bmp = pictures_.Bitmap24(*file, picture);
    m.ImageCount = 3;
    m.MaskType = 1;
    m.R = WholePicture(*m.Bmp);
    m.WL = m.WR = int16_t(m.Bmp->Width() / 9);
    m.WT = m.WB = int16_t(m.Bmp->Height() / 6);
}

// Calls `f(section, key, value)` for every key of every section in file order; of two equal
// keys of a section both come, with the first one's value.
template <typename F>
void ForEachKey(const vcl::TMemIniFile& ini, F f) {
    vcl::TStringList sections, lines;
    ini.ReadSections(&sections);
    for (int s = 0; s < sections.Count(); ++s) {
        const std::string section = sections.Get(s);
        ini.ReadSectionValues(section, &lines);
        std::unordered_map<std::string, std::string> first;
        for (int i = 0; i < lines.Count(); ++i) {
            const std::string key = lines.Names(i);
            const auto [it, fresh] = first.emplace(UpperText(key), lines.ValueFromIndex(i));
            f(section, key, it->second);
        }
    }
}

bool IsGlobalInfo(const std::string& section) {
    return UpperText(section) == "GLOBALINFO";
}

// The common sections as INI text; the nominal file is never written.
void ReadCommonText(vcl::TMemIniFile& ini, const vcl::TStrings& lines, const char* nominalName) {
    ini.Rename(nominalName, false);
    ini.SetStrings(&lines);
}

bool HasCommonSections(const SkinSource& source) {
    return source.CommonSections && source.CommonSections->Count() > 0;
}

void LoadOptionMasks(TsSkinContent& skin, const SkinSource& source, const vcl::TMemIniFile& ini,
                     SkinPictures& pictures) {
    skin.MasterBitmap.reset(vcl::New<vcl::TBitmap>());
    const std::string masterName = ini.ReadString("GLOBALINFO", "MASTERBITMAP", "");
    if (std::optional<SkinFile> file = FindSkinFile(source, masterName, true))
        pictures.ReadInto(*skin.MasterBitmap, *file);
    SetMasterFormat(skin.MasterBitmap.get());

    MaskLoader loader(skin, source, pictures);
    ForEachKey(ini,
               [&](const std::string& section, const std::string& key, const std::string& value) {
                   if (IsGlobalInfo(section) && UpperText(key) == "MASTERBITMAP") return;
                   loader.Add(section, key, value, OptionsPlace(section, key), false);
               });
}

void LoadCollectionMasks(TsSkinContent& skin, const TsStoredSkin& item) {
    skin.MasterBitmap.reset(vcl::New<vcl::TBitmap>());
    skin.MasterBitmap->Assign(item.MasterBitmap.get());
    SetMasterFormat(skin.MasterBitmap.get());
    for (int k = 0; k < item.Images.Count(); ++k) {
        const TsSkinImage& im = *item.Images.Items(k);
        TsMaskData& m = skin.Masks.emplace_back();
        if (!im.Name.empty()) {
            m.Bmp.reset(vcl::New<vcl::TBitmap>());
            m.Bmp->Assign(im.Image.get());
            m.Bmp->SetPixelFormat(pf24bit);
            m.R = WholePicture(*m.Bmp);
        } else {
            m.R = {im.Left, im.Top, im.Right, im.Bottom};
        }
        m.PropertyName = UpperText(im.PropertyName);
        m.SectionName = UpperText(im.SectionName);
        m.ImageCount = int16_t(im.ImageCount);
        m.MaskType = int16_t(im.MaskType);
        m.BorderWidth = int16_t(im.BorderWidth);
        m.StretchMode = uint16_t(im.StretchMode);
        m.ImgType = im.ImgType;
        m.WL = int16_t(im.WL), m.WT = int16_t(im.WT), m.WR = int16_t(im.WR), m.WB = int16_t(im.WB);
        if (m.ImageCount == 0) m.ImageCount = 3, m.MaskType = 1;
        CompleteBorders(m);
        m.Manager = &skin;
    }
}

void LoadCommonMasks(TsSkinContent& skin, const SkinSource& source, SkinPictures& pictures) {
    vcl::TMemIniFile ini;
    ReadCommonText(ini, *source.CommonSections, "1.tmp");
    MaskLoader loader(skin, source, pictures);
    ForEachKey(ini,
               [&](const std::string& section, const std::string& key, const std::string& value) {
                   if (IsGlobalInfo(section)) return;
                   loader.Add(section, key, value, "CommonSections [" + section + "] " + key, true);
               });
}

bool NamesJpeg(const std::string& upperValue) {
    return Contains(upperValue, ".JPG") || Contains(upperValue, ".JPEG");
}

void LoadSkinMasks(TsSkinContent& skin, const SkinSource& source, SkinPictures& pictures) {
    skin.ClearMasks();
    if (source.Options) {
        LoadOptionMasks(skin, source, *source.Options, pictures);
    } else if (const TsStoredSkin* item = FindStoredSkin(source.InternalSkins, source.SkinName)) {
        LoadCollectionMasks(skin, *item);
    } else {
        return;
    }
    if (HasCommonSections(source)) LoadCommonMasks(skin, source, pictures);
}

void LoadSkinPatterns(TsSkinContent& skin, const SkinSource& source, SkinPictures& pictures) {
    skin.ClearPatterns();
    if (source.Options) {
        ForEachKey(*source.Options, [&](const std::string& section, const std::string& key,
                                        const std::string& value) {
            const std::string name = UpperText(value);
            if (!NamesJpeg(name)) return;
            std::optional<SkinFile> file = FindSkinFile(source, name, true);
            if (!file) return;
            SharedPicture<vcl::TJPEGImage> jpeg = pictures.Jpeg(*file);
            if (jpeg->Width() == 0) return;
            if (int64_t(jpeg->Width()) * jpeg->Height() < 90000) {
                // Small pictures are tiled from a bitmap made once.
                TsMaskData& m = skin.Masks.emplace_back();
                m.Bmp = pictures.JpegTile(*file, *jpeg);
                m.PropertyName = UpperText(key);
                m.SectionName = UpperText(section);
                m.ImgType = itisaTexture;
                m.ImageCount = 1;
                m.Manager = &skin;
                return;
            }
            skin.Patterns.push_back({jpeg, UpperText(section), UpperText(key)});
        });
    } else if (const TsStoredSkin* item = FindStoredSkin(source.InternalSkins, source.SkinName)) {
        for (int k = 0; k < item->Patterns.Count(); ++k) {
            const TsSkinPattern& p = *item->Patterns.Items(k);
            const TsSkinPattern* picture = &p;
            // Items of one name share the first picture given under it.
            for (int j = 0; picture->Image->Empty() && j < item->Patterns.Count(); ++j) {
                const TsSkinPattern& q = *item->Patterns.Items(j);
                if (q.Name == p.Name && !q.Image->Empty()) picture = &q;
            }
            JpegPtr jpeg(vcl::New<vcl::TJPEGImage>());
            jpeg->Assign(picture->Image.get());
            skin.Patterns.push_back(
                {std::move(jpeg), UpperText(p.SectionName), UpperText(p.PropertyName)});
        }
    } else {
        return;
    }
    if (!HasCommonSections(source)) return;
    vcl::TMemIniFile ini;
    ReadCommonText(ini, *source.CommonSections, "2.tmp");
    ForEachKey(ini,
               [&](const std::string& section, const std::string& key, const std::string& value) {
                   const std::string name = UpperText(value);
                   if (!NamesJpeg(name)) return;
                   std::optional<SkinFile> file = FindSkinFile(source, name, false);
                   if (!file) return;
                   SharedPicture<vcl::TJPEGImage> jpeg = pictures.Jpeg(*file);
                   if (jpeg->Width() < 1) return;
                   skin.Patterns.push_back({jpeg, UpperText(section), UpperText(key)});
               });
}

}  // namespace

void LoadSkinPictures(TsSkinContent& skin, const SkinSource& source) {
    SkinPictures pictures(source);
    LoadSkinMasks(skin, source, pictures);
    LoadSkinPatterns(skin, source, pictures);
}

}  // namespace skin
