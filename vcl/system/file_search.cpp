#include "vcl/system/file_search.h"

namespace vcl {

namespace {

constexpr int kNoMoreFiles = 18;
constexpr int kFileNotFound = 2;

int Attributes(const os::DirEntry& e) {
    int a = 0;
    if (e.directory) a |= faDirectory;
    if (e.readOnly) a |= faReadOnly;
    if (e.hidden) a |= faHidden;
    if (!e.directory) a |= faArchive;
    return a;
}

// Steps to the next entry whose special attributes were all asked for.
int Step(TSearchRec& rec, int notFound) {
    os::DirEntry e;
    while (rec.Search && rec.Search->Next(e)) {
        const int a = Attributes(e);
        if ((a & rec.ExcludeAttr) != 0) continue;
        rec.Name = e.name;
        rec.Size = static_cast<int64_t>(e.size);
        rec.Attr = a;
        rec.Time = e.modified;
        return 0;
    }
    return notFound;
}

}  // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
    rec = TSearchRec{};
    rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faDirectory);
    rec.Search = std::make_shared<os::DirSearch>(path);
    const int r = Step(rec, kFileNotFound);
    if (r != 0) rec.Search.reset();
    return r;
}

int FindNext(TSearchRec& rec) {
    return Step(rec, kNoMoreFiles);
}

void FindClose(TSearchRec& rec) {
    rec.Search.reset();
}

}  // namespace vcl
