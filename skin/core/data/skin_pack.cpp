#include "skin/core/data/skin_pack.h"

#include <zlib.h>

#include <cstring>

#include "platform/os/files.h"
#include "skin/core/pixels/errors.h"
#include "vcl/system/object.h"
#include "vcl/system/sysutils.h"

namespace skin {
namespace {

const char kNotPacked[] = "Loaded data is not a packed Quillor file";
const char kReadError[] = "Stream read error";
const char kDecompression[] = "Decompression error";

// No entry of a skin is anywhere near this; a larger stated size is damage, not data.
constexpr int64_t kMaxEntrySize = 64 << 20;
// Deflate cannot expand data by more than about 1032 times.
constexpr int64_t kMaxExpansion = 1032;

class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) {}
    size_t Left() const { return data_.size() - pos_; }
    size_t Position() const { return pos_; }
    int32_t ReadInt32() {
        if (Left() < 4) throw vcl::EReadError(kReadError);
        const auto* p = reinterpret_cast<const uint8_t*>(data_.data() + pos_);
        pos_ += 4;
        return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                       uint32_t(p[3]) << 24);
    }
    std::string ReadBytes(int64_t n) {
        if (n < 0 || uint64_t(n) > Left()) throw vcl::EReadError(kReadError);
        std::string s(data_.substr(pos_, size_t(n)));
        pos_ += size_t(n);
        return s;
    }
    // Inflates one zlib stream that must hold exactly `size` bytes, and stands behind it.
    std::string Inflate(int64_t size) {
        if (size < 0 || size > kMaxEntrySize || size > kMaxExpansion * int64_t(Left()) + 64) {
            throw EZDecompressionError(kDecompression);
        }
        std::string out(size_t(size), '\0');
        z_stream z{};
        if (inflateInit(&z) != Z_OK) throw EZDecompressionError(kDecompression);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data_.data() + pos_));
        z.avail_in = uInt(Left());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = uInt(size);
        int ret = Z_OK;
        while (ret == Z_OK && z.avail_out > 0)
            ret = inflate(&z, Z_NO_FLUSH);
        if (ret == Z_OK) {
            // All the bytes are there: the stream must end now, without a byte more.
            uint8_t extra;
            z.next_out = &extra;
            z.avail_out = 1;
            ret = inflate(&z, Z_FINISH);
            if (z.avail_out == 0) ret = Z_DATA_ERROR;
        }
        const size_t used = size_t(z.total_in);
        const bool shortStream = ret == Z_BUF_ERROR && z.avail_in == 0;
        inflateEnd(&z);
        if (shortStream) throw vcl::EReadError(kReadError);
        if (ret != Z_STREAM_END || z.total_out != uLong(size)) {
            throw EZDecompressionError(kDecompression);
        }
        pos_ += used;
        return out;
    }

private:
    std::string_view data_;
    size_t pos_ = 0;
};

}  // namespace

MemoryStreamPtr StreamOf(const std::string& data) {
    MemoryStreamPtr m(vcl::New<vcl::TMemoryStream>());
    m->WriteBuffer(data.data(), int64_t(data.size()));
    m->SetPosition(0);
    return m;
}

TacSkinConvertor::~TacSkinConvertor() {
    ClearConvertor(*this);
}

void TacSkinConvertor::LendPackedData(vcl::TStream* stream) {
    ReleasePackedData();
    PackedData = stream;
}

void TacSkinConvertor::OwnPackedData(MemoryStreamPtr stream) {
    ReleasePackedData();
    owned_ = std::move(stream);
    PackedData = owned_.get();
}

void TacSkinConvertor::ReleasePackedData() {
    PackedData = nullptr;
    owned_.reset();
}

const TacImageItem* TacSkinConvertor::FindImage(std::string_view upperName) const {
    const size_t n = std::min(Files.size(), size_t(std::max(ImageCount, 0)));
    for (size_t i = 0; i < n; ++i) {
        if (vcl::UpperCase(Files[i].Name) == upperName) return &Files[i];
    }
    return nullptr;
}

void ClearConvertor(TacSkinConvertor& c) {
    while (!c.Files.empty())
        c.Files.pop_back();
    c.Options.reset();
    c.ReleasePackedData();
    c.ImageCount = 0;
}

void ExtractPackedSkin(std::unique_ptr<TacSkinConvertor>& c) {
    // The whole blob is in memory (a memory stream is read in place); the reader then stands
    // behind the last entry read.
    vcl::TStream* stream = c->PackedData;
    std::string copy;
    std::string_view blob;
    if (stream == nullptr) {
    } else if (auto* m = dynamic_cast<vcl::TCustomMemoryStream*>(stream)) {
        blob = {reinterpret_cast<const char*>(m->Memory()), size_t(m->Size())};
    } else {
        stream->SetPosition(0);
        copy.resize(size_t(stream->Size()));
        stream->ReadBuffer(copy.data(), int64_t(copy.size()));
        blob = copy;
    }
    Reader r(blob);
    struct Reposition {
        vcl::TStream* stream;
        const Reader& reader;
        ~Reposition() {
            if (stream) stream->SetPosition(int64_t(reader.Position()));
        }
    } reposition{stream, r};
    if (r.Left() < 4 || r.ReadBytes(4) != "ASzf") {
        reposition.stream = nullptr;
        ClearConvertor(*c);
        c.reset();
        throw ESkinPackError(kNotPacked);
    }
    const int32_t count = r.ReadInt32();
    // Every entry takes at least nine bytes, so a larger count is a blob cut short.
    if (count > 0 && uint64_t(count) > r.Left() / 9) throw vcl::EReadError(kReadError);
    c->ImageCount = 0;
    for (int32_t i = 0; i < count; ++i) {
        std::string name = r.ReadBytes(r.ReadInt32());
        const int32_t size = r.ReadInt32();
        std::string data = r.Inflate(size);
        if (vcl::UpperCase(name) == "OPTIONS.DAT") {
            c->Options = StreamOf(data);
        } else {
            c->Files.push_back({std::move(name), StreamOf(data)});
            c->ImageCount = int32_t(c->Files.size());
        }
    }
}

void ReadPackedSkinFile(const std::string& fileName, std::unique_ptr<TacSkinConvertor>& c,
                        bool freePackedData) {
    if (!os::FileExists(vcl::SysPath(fileName))) return;
    if (c)
        ClearConvertor(*c);
    else
        c = std::make_unique<TacSkinConvertor>();
    {
        vcl::TFileStream file(fileName, vcl::fmOpenRead | vcl::fmShareDenyWrite);
        MemoryStreamPtr blob(vcl::New<vcl::TMemoryStream>());
        blob->LoadFromStream(&file);
        c->OwnPackedData(std::move(blob));
    }
    ExtractPackedSkin(c);
    if (freePackedData && c) c->ReleasePackedData();
}

}  // namespace skin
