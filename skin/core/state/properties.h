// Probing objects of classes the skin does not know for their published properties by name. A
// property the object does not publish, or one of another kind, is simply absent.
#pragma once

#include <cstdint>
#include <string_view>

#include "vcl/system/object.h"

namespace skin {

bool HasProperty(const vcl::TObject* obj, std::string_view name);
vcl::TObject* GetObjectProperty(const vcl::TObject* obj, std::string_view name);
// The ordinal value, or -1 when absent.
int64_t GetIntProperty(const vcl::TObject* obj, std::string_view name);
void SetIntProperty(vcl::TObject* obj, std::string_view name, int64_t value);
// Set properties are published as their members' names separated by commas; members are
// compared as whole names.
bool SetPropHasItem(const vcl::TObject* obj, std::string_view name, std::string_view item);
void ChangeSetPropItem(vcl::TObject* obj, std::string_view name, std::string_view item,
                       bool include);

}  // namespace skin
