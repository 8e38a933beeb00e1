#include "vcl/system/persistent.h"

#include "vcl/system/exceptions.h"
#include "vcl/system/format.h"

namespace vcl {

void TPersistent::Assign(const TPersistent* source) {
    if (source) {
        source->AssignTo(this);
        return;
    }
    throw EConvertError(Format("Cannot assign a nil to a %s", ClassName()));
}

void TPersistent::AssignTo(TPersistent* dest) const {
    throw EConvertError(Format("Cannot assign a %s to a %s", ClassName(), dest->ClassName()));
}

}  // namespace vcl
