// TPersistent: an object that can take over the contents of another with Assign.
#pragma once

#include "vcl/system/object.h"

namespace vcl {

class TPersistent : public TObject {
public:
    VCL_CLASS(TPersistent, TObject)

    // Copies `source` into this object. The base asks the source to AssignTo this object;
    // a pair that neither side knows raises EConvertError "Cannot assign a X to a Y".
    virtual void Assign(const TPersistent* source);

    // The object that owns this one (a collection's owner, a font's control), or nullptr.
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    virtual void AssignTo(TPersistent* dest) const;
};

}  // namespace vcl
