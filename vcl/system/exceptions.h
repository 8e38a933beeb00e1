// The class library's exception classes. Every failure of the program is one of these; the text
// the operator may see is `Message` (cp1251).
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace vcl {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    virtual const char* ClassName() const { return "Exception"; }

    std::string Message;
};

#define VCL_EXCEPTION(Name, Base)                                \
    class Name : public Base {                                   \
    public:                                                      \
        using Base::Base;                                        \
        const char* ClassName() const override { return #Name; } \
    }

VCL_EXCEPTION(EAbort, Exception);
VCL_EXCEPTION(EConvertError, Exception);
VCL_EXCEPTION(EInvalidOperation, Exception);
VCL_EXCEPTION(EInvalidPointer, Exception);
VCL_EXCEPTION(EInvalidArgument, Exception);
VCL_EXCEPTION(EListError, Exception);
VCL_EXCEPTION(EStringListError, Exception);
VCL_EXCEPTION(EOSError, Exception);
VCL_EXCEPTION(EThread, Exception);
VCL_EXCEPTION(EOutOfResources, Exception);
VCL_EXCEPTION(EInvalidGraphic, Exception);
VCL_EXCEPTION(EInvalidGraphicOperation, Exception);
VCL_EXCEPTION(EStreamError, Exception);
VCL_EXCEPTION(EReadError, EStreamError);
VCL_EXCEPTION(EWriteError, EStreamError);
VCL_EXCEPTION(EFOpenError, EStreamError);
VCL_EXCEPTION(EFCreateError, EStreamError);
VCL_EXCEPTION(EResNotFound, Exception);
VCL_EXCEPTION(EComponentError, Exception);
VCL_EXCEPTION(EPropertyError, Exception);
VCL_EXCEPTION(EMenuError, Exception);

#undef VCL_EXCEPTION

}  // namespace vcl
