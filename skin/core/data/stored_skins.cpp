#include "skin/core/data/stored_skins.h"

namespace skin {

TsSkinImage::TsSkinImage(vcl::TCollection* c)
    : vcl::TCollectionItem(c), Image(vcl::New<vcl::TBitmap>()) {}

TsSkinPattern::TsSkinPattern(vcl::TCollection* c)
    : vcl::TCollectionItem(c), Image(vcl::New<vcl::TJPEGImage>()) {}

void TsSkinPattern::Assign(const vcl::TPersistent* source) {
    const auto* p = dynamic_cast<const TsSkinPattern*>(source);
    if (!p) return vcl::TCollectionItem::Assign(source);
    SectionName = p->SectionName;
    Image->Assign(p->Image.get());
    Name = p->Name;
    PropertyName = p->PropertyName;
}

TsStoredSkin::TsStoredSkin(vcl::TCollection* c)
    : vcl::TCollectionItem(c),
      MasterBitmap(vcl::New<vcl::TBitmap>()),
      Data(vcl::New<vcl::TMemoryStream>()) {}

TsStoredSkin::~TsStoredSkin() = default;

void TsStoredSkin::Assign(const vcl::TPersistent* source) {
    const auto* s = dynamic_cast<const TsStoredSkin*>(source);
    if (!s) {
        vcl::TCollectionItem::Assign(source);
        return;
    }
    if (s == this) return;
    Data->Clear();
    Data->WriteBuffer(s->Data->Memory(), s->Data->Size());
    Data->SetPosition(0);
    Name = s->Name;
    GeneralData.Assign(&s->GeneralData);
    Images.Assign(&s->Images);
    Patterns.Assign(&s->Patterns);
    MasterBitmap->Assign(s->MasterBitmap.get());
    Shadow1Color = s->Shadow1Color;
    Shadow1Offset = s->Shadow1Offset;
    Shadow1Blur = s->Shadow1Blur;
    Shadow1Transparency = s->Shadow1Transparency;
    BorderColor = s->BorderColor;
    Version = s->Version;
    Author = s->Author;
    Description = s->Description;
}

int TsStoredSkins::IndexOf(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        if (Items(i)->Name == name) return i;
    }
    return -1;
}

const TsStoredSkin* FindStoredSkin(const TsStoredSkins* skins, std::string_view name) {
    const int i = skins ? skins->IndexOf(name) : -1;
    return i < 0 ? nullptr : skins->GetItem(i);
}

const char* const ThirdPartyList::kPropertyNames[kCount] = {
    "ThirdEdits",   "ThirdButtons",    "ThirdBitBtns",      "ThirdCheckBoxes",  "ThirdComboBoxes",
    "ThirdGrids",   "ThirdGroupBoxes", "ThirdListViews",    "ThirdPanels",      "ThirdTreeViews",
    "ThirdWWEdits", "ThirdGridEh",     "ThirdVirtualTrees", "ThirdPageControl", "ThirdTabControl",
    "ThirdToolBar", "ThirdStatusBar",  "ThirdSpeedButton"};

const char* const ThirdPartyList::kCategoryNames[kCount] = {
    "Edit",        "Button",      "BitBtn",     "CheckBox", "ComboBox",  "Grid",
    "GroupBox",    "ListView",    "Panel",      "TreeView", "wwEdit",    "GridEh",
    "VirtualTree", "PageControl", "TabControl", "ToolBar",  "StatusBar", "SpeedButton"};

const char* const ThirdPartyList::kDefaultTexts[kCount] = {
    " ", "TButton", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " "};

std::string ThirdPartyList::GetString(int index) const {
    return index >= 0 && index < kCount ? texts_[size_t(index)] : std::string();
}

void ThirdPartyList::SetString(int index, const std::string& text) {
    if (index >= 0 && index < kCount) texts_[size_t(index)] = text;
}

void ThirdPartyList::ApplyDefaults(bool reset) {
    for (int i = 0; i < kCount; ++i) {
        if (reset || texts_[size_t(i)].empty()) texts_[size_t(i)] = kDefaultTexts[i];
    }
}

}  // namespace skin
