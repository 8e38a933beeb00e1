// The image errors of the skin library; their texts are English, as the painters raise them.
#pragma once

#include "vcl/system/exceptions.h"

namespace skin {

class EGraphicCompression : public vcl::Exception {
public:
    using vcl::Exception::Exception;
    const char* ClassName() const override { return "EGraphicCompression"; }
};

class EColorConversionError : public vcl::Exception {
public:
    using vcl::Exception::Exception;
    const char* ClassName() const override { return "EColorConversionError"; }
};

// Raised by the resampler for sources it cannot filter.
class EResampleError : public vcl::Exception {
public:
    using vcl::Exception::Exception;
    const char* ClassName() const override { return "EResampleError"; }
};

// Damaged deflate data, or an entry that inflates to another size than it states.
class EZDecompressionError : public vcl::Exception {
public:
    using vcl::Exception::Exception;
    const char* ClassName() const override { return "EZDecompressionError"; }
};

// A packed skin without its signature.
class ESkinPackError : public vcl::Exception {
public:
    using vcl::Exception::Exception;
    const char* ClassName() const override { return "ESkinPackError"; }
};

}  // namespace skin
