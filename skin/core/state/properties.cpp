#include "skin/core/state/properties.h"

#include <string>

#include "skin/core/pixels/text_utils.h"

namespace skin {
namespace {

const vcl::TPropInfo* PropOf(const vcl::TObject* obj, std::string_view name, vcl::TTypeKind a,
                             vcl::TTypeKind b) {
    const vcl::TPropInfo* p = vcl::GetPropInfo(obj, name);
    return p && (p->Kind == a || p->Kind == b) ? p : nullptr;
}
const vcl::TPropInfo* OrdinalOf(const vcl::TObject* obj, std::string_view name) {
    return PropOf(obj, name, vcl::TTypeKind::tkInteger, vcl::TTypeKind::tkEnumeration);
}
const vcl::TPropInfo* SetTextOf(const vcl::TObject* obj, std::string_view name) {
    return PropOf(obj, name, vcl::TTypeKind::tkString, vcl::TTypeKind::tkString);
}

}  // namespace

bool HasProperty(const vcl::TObject* obj, std::string_view name) {
    return vcl::IsPublishedProp(obj, name);
}

vcl::TObject* GetObjectProperty(const vcl::TObject* obj, std::string_view name) {
    if (!PropOf(obj, name, vcl::TTypeKind::tkClass, vcl::TTypeKind::tkClass)) return nullptr;
    return vcl::GetObjectProp(obj, name);
}

int64_t GetIntProperty(const vcl::TObject* obj, std::string_view name) {
    return OrdinalOf(obj, name) ? vcl::GetOrdProp(obj, name) : -1;
}

void SetIntProperty(vcl::TObject* obj, std::string_view name, int64_t value) {
    const vcl::TPropInfo* p = OrdinalOf(obj, name);
    if (p && p->Set) vcl::SetOrdProp(obj, name, value);
}

bool SetPropHasItem(const vcl::TObject* obj, std::string_view name, std::string_view item) {
    if (!SetTextOf(obj, name)) return false;
    std::string text = vcl::GetStrProp(obj, name);
    // Adding a member that is there already changes nothing.
    return !ChangeSetText(text, item, true);
}

void ChangeSetPropItem(vcl::TObject* obj, std::string_view name, std::string_view item,
                       bool include) {
    const vcl::TPropInfo* p = SetTextOf(obj, name);
    if (!p || !p->Set) return;
    std::string text = vcl::GetStrProp(obj, name);
    if (ChangeSetText(text, item, include)) vcl::SetStrProp(obj, name, text);
}

}  // namespace skin
