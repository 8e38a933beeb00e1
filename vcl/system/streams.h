// Streams: TStream and the memory, string and file streams.
//
// Positions and sizes are 64-bit. Read and Write move as many bytes as they can and say how
// many; ReadBuffer and WriteBuffer need all of them and raise EReadError "Stream read error"
// or EWriteError "Stream write error" otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vcl/system/object.h"

namespace vcl {

enum TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    VCL_CLASS(TStream, TObject)

    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t size);

    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies `count` bytes from the source's position; 0 copies the whole source from its
    // start. Gives the number copied.
    int64_t CopyFrom(TStream* source, int64_t count);
};

// A stream over a block of memory that it does not own; read-only unless a subclass says so.
class TCustomMemoryStream : public TStream {
public:
    VCL_CLASS(TCustomMemoryStream, TStream)

    const uint8_t* Memory() const { return data_; }
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;  // EStreamError: read-only
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return size_; }
    int64_t MemorySize() const { return size_; }

    void SaveToStream(TStream* stream);
    void SaveToFile(const std::string& fileName);

protected:
    void SetPointer(const uint8_t* data, int64_t size);
    int64_t pos_ = 0;

private:
    const uint8_t* data_ = nullptr;
    int64_t size_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
    VCL_CLASS(TMemoryStream, TCustomMemoryStream)

    uint8_t* Memory() { return buffer_.data(); }
    const uint8_t* Memory() const { return buffer_.data(); }
    int64_t Write(const void* buffer, int64_t count) override;
    void SetSize(int64_t size) override;
    void Clear();

    void LoadFromStream(TStream* stream);  // the whole stream, from its start
    void LoadFromFile(const std::string& fileName);

private:
    std::vector<uint8_t> buffer_;
};

// A memory stream that gives its bytes as text.
class TStringStream : public TMemoryStream {
public:
    VCL_CLASS(TStringStream, TMemoryStream)

    explicit TStringStream(const std::string& data = {});
    std::string DataString() const;
};

// File modes; the share flags are accepted and have no effect.
inline constexpr uint16_t fmCreate = 0xFFFF;
inline constexpr uint16_t fmOpenRead = 0x0000;
inline constexpr uint16_t fmOpenWrite = 0x0001;
inline constexpr uint16_t fmOpenReadWrite = 0x0002;
inline constexpr uint16_t fmShareCompat = 0x0000;
inline constexpr uint16_t fmShareExclusive = 0x0010;
inline constexpr uint16_t fmShareDenyWrite = 0x0020;
inline constexpr uint16_t fmShareDenyRead = 0x0030;
inline constexpr uint16_t fmShareDenyNone = 0x0040;

// A stream over a file. The name is cp1251 text, like all the program's text. fmCreate makes
// the file (emptying one that exists); a file that cannot be opened raises EFOpenError, one that
// cannot be made EFCreateError.
class TFileStream : public TStream {
public:
    VCL_CLASS(TFileStream, TStream)

    TFileStream(const std::string& fileName, uint16_t mode);
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
    int fd_ = -1;
};

// The operating system's form of a program path: cp1251 text as UTF-8.
std::string SysPath(const std::string& fileName);

}  // namespace vcl
