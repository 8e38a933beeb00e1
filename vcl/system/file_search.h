// FindFirst / FindNext / FindClose: the class library's folder search.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/dir_search.h"
#include "vcl/system/sysutils.h"

namespace vcl {

inline constexpr int faReadOnly = 0x01;
inline constexpr int faHidden = 0x02;
inline constexpr int faSysFile = 0x04;
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faAnyFile = 0x3F;

struct TSearchRec {
    std::string Name;
    int64_t Size = 0;
    int Attr = 0;
    TDateTime Time = 0;
    int ExcludeAttr = 0;
    std::shared_ptr<os::DirSearch> Search;
};

// 0 when an entry was found, else an error code (2: no more files). Files are always found;
// folders, hidden and read-only entries only when `attr` asks for them.
int FindFirst(const std::string& path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

}  // namespace vcl
