#include "vcl/system/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/os/cp1251.h"
#include "platform/os/sys_error.h"
#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"

namespace vcl {

std::string SysPath(const std::string& fileName) {
    return os::Cp1251ToUtf8(fileName);
}

int64_t TStream::Size() {
    const int64_t pos = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::SetSize(int64_t) {
    throw EStreamError("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count < 0 || (count != 0 && Read(buffer, count) != count))
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count < 0 || (count != 0 && Write(buffer, count) != count))
        throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* source, int64_t count) {
    if (count == 0) {
        source->SetPosition(0);
        count = source->Size();
    }
    const int64_t total = count;
    constexpr int64_t kChunk = 61440;
    std::vector<uint8_t> buf(static_cast<std::size_t>(std::min(count, kChunk)));
    while (count > 0) {
        const int64_t n = std::min(count, kChunk);
        source->ReadBuffer(buf.data(), n);
        WriteBuffer(buf.data(), n);
        count -= n;
    }
    return total;
}

void TCustomMemoryStream::SetPointer(const uint8_t* data, int64_t size) {
    data_ = data;
    size_ = size;
}

int64_t TCustomMemoryStream::Read(void* buffer, int64_t count) {
    if (pos_ < 0 || count <= 0 || pos_ >= size_) return 0;
    const int64_t n = std::min(count, size_ - pos_);
    std::memcpy(buffer, data_ + pos_, static_cast<std::size_t>(n));
    pos_ += n;
    return n;
}

int64_t TCustomMemoryStream::Write(const void*, int64_t) {
    throw EStreamError("Can't write to a read-only memory stream");
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    switch (origin) {
        case soBeginning:
            pos_ = offset;
            break;
        case soCurrent:
            pos_ += offset;
            break;
        case soEnd:
            pos_ = size_ + offset;
            break;
    }
    return pos_;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) {
    if (size_ > 0) stream->WriteBuffer(data_, size_);
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) {
    TFileStream f(fileName, fmCreate);
    SaveToStream(&f);
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (pos_ < 0 || count <= 0) return 0;
    const int64_t end = pos_ + count;
    if (end > Size()) SetSize(end);
    std::memcpy(buffer_.data() + pos_, buffer, static_cast<std::size_t>(count));
    pos_ = end;
    return count;
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0) throw EStreamError("Invalid stream size");
    const int64_t old = pos_;
    buffer_.resize(static_cast<std::size_t>(size));
    SetPointer(buffer_.data(), size);
    if (old > size) pos_ = size;
}

void TMemoryStream::Clear() {
    buffer_.clear();
    buffer_.shrink_to_fit();
    SetPointer(nullptr, 0);
    pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
    stream->SetPosition(0);
    const int64_t n = stream->Size();
    SetSize(n);
    if (n > 0) stream->ReadBuffer(buffer_.data(), n);
    pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

TStringStream::TStringStream(const std::string& data) {
    if (!data.empty()) WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    pos_ = 0;
}

std::string TStringStream::DataString() const {
    return std::string(reinterpret_cast<const char*>(Memory()),
                       static_cast<std::size_t>(MemorySize()));
}

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
    const std::string path = SysPath(fileName);
    if (mode == fmCreate) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0)
            throw EFCreateError(
                Format("Cannot create file \"%s\". %s", fileName, os::LastError().text));
        return;
    }
    int flags = O_RDONLY;
    if ((mode & 3) == fmOpenWrite) flags = O_WRONLY;
    if ((mode & 3) == fmOpenReadWrite) flags = O_RDWR;
    fd_ = ::open(path.c_str(), flags | O_CLOEXEC);
    struct stat st {};
    if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode))) {
        ::close(fd_);
        fd_ = -1;
        errno = EISDIR;
    }
    if (fd_ < 0)
        throw EFOpenError(Format("Cannot open file \"%s\". %s", fileName, os::LastError().text));
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) ::close(fd_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::read(fd_, static_cast<char*>(buffer) + done, static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done,
                                  static_cast<std::size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (r < 0) throw EStreamError(Format("Cannot seek in \"%s\"", fileName_));
    return r;
}

void TFileStream::SetSize(int64_t size) {
    if (size < 0 || ::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        throw EStreamError(Format("Cannot set the size of \"%s\"", fileName_));
    if (Position() > size) SetPosition(size);
}

}  // namespace vcl
