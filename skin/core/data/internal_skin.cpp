#include "skin/core/data/internal_skin.h"

#include "platform/os/cp_literal.h"
#include "skin/core/data/stored_skins.h"
#include "vcl/system/resources.h"

namespace skin {

std::string InternalSkinName() {
    return "Topaz (внутренний)"_cp;
}

void AddInternalSkin(TsStoredSkins& skins) {
    vcl::TResourceStream packed(kInternalSkinResource);
    MemoryStreamPtr data(new vcl::TMemoryStream);
    data->LoadFromStream(&packed);
    TsStoredSkin* item = skins.Add();
    item->Name = InternalSkinName();
    item->Data = std::move(data);
}

}  // namespace skin
