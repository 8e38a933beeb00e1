#include "vcl/graphics/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" {
#include <jpeglib.h>
}

#include "vcl/system/exceptions.h"

namespace vcl {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return. Throwing through
// its C frames is not safe, so the error jumps back to the call that started the work, which
// then cleans up and throws.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->text);
    std::longjmp(err->jump, 1);
}

void SilentMessage(j_common_ptr) {}  // warnings of damaged data are not printed

void SetUp(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = SilentMessage;
    err.text[0] = 0;
}

// The decoding steps between setjmp and the end of the work hold no C++ objects with
// destructors; their results go into plain storage owned by the caller.
bool DecodeInto(jpeg_decompress_struct& cinfo, ErrorManager& err, std::span<const uint8_t> data,
                JpegPixels& out, const char*& refusal) {
    if (setjmp(err.jump)) return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (static_cast<int64_t>(cinfo.image_width) * cinfo.image_height > kMaxJpegPixels) {
        refusal = "JPEG picture too large";
        return false;
    }
    out.grayscale = cinfo.num_components == 1;
    cinfo.out_color_space = JCS_RGB;  // libjpeg converts grey and YCbCr; CMYK is refused
    jpeg_start_decompress(&cinfo);
    out.width = static_cast<int>(cinfo.output_width);
    out.height = static_cast<int>(cinfo.output_height);
    const std::size_t stride = std::size_t(out.width) * 3;
    out.rgb.resize(stride * out.height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.rgb.data() + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

struct EncodeBuffer {
    unsigned char* data = nullptr;
    unsigned long size = 0;
};

bool EncodeInto(jpeg_compress_struct& cinfo, ErrorManager& err, int width, int height,
                std::span<const uint8_t> rgb, int quality, bool grayscale, EncodeBuffer& buf,
                std::vector<uint8_t>& grey) {
    if (setjmp(err.jump)) return false;
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buf.data, &buf.size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = grayscale ? 1 : 3;
    cinfo.in_color_space = grayscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = std::size_t(width) * 3;
    if (grayscale) grey.resize(width);
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint8_t* src = rgb.data() + stride * cinfo.next_scanline;
        JSAMPROW row;
        if (grayscale) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = src + 3 * x;
                grey[x] = static_cast<uint8_t>((p[0] * 77 + p[1] * 150 + p[2] * 29 + 128) >> 8);
            }
            row = grey.data();
        } else {
            row = const_cast<JSAMPROW>(src);
        }
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

}  // namespace

JpegPixels DecodeJpeg(std::span<const uint8_t> data) {
    if (data.size() < 4) throw EInvalidGraphic("JPEG error: not a JPEG file");
    jpeg_decompress_struct cinfo{};
    ErrorManager err;
    SetUp(err);
    cinfo.err = &err.pub;
    JpegPixels out;
    const char* refusal = nullptr;
    const bool ok = DecodeInto(cinfo, err, data, out, refusal);
    jpeg_destroy_decompress(&cinfo);
    if (!ok) throw EInvalidGraphic(refusal ? refusal : std::string("JPEG error: ") + err.text);
    return out;
}

std::vector<uint8_t> EncodeJpeg(int width, int height, std::span<const uint8_t> rgb, int quality,
                                bool grayscale) {
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxJpegPixels ||
        rgb.size() < std::size_t(width) * height * 3)
        throw EInvalidGraphic("JPEG error: bad picture size");
    jpeg_compress_struct cinfo{};
    ErrorManager err;
    SetUp(err);
    cinfo.err = &err.pub;
    EncodeBuffer buf;
    std::vector<uint8_t> grey;
    const bool ok = EncodeInto(cinfo, err, width, height, rgb,
                               quality < 1     ? 1
                               : quality > 100 ? 100
                                               : quality,
                               grayscale, buf, grey);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> out;
    if (ok) out.assign(buf.data, buf.data + buf.size);
    std::free(buf.data);
    if (!ok) throw EInvalidGraphic(std::string("JPEG error: ") + err.text);
    return out;
}

}  // namespace vcl
