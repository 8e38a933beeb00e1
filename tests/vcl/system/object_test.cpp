#include "vcl/system/object.h"

#include <gtest/gtest.h>

#include "vcl/system/component.h"
#include "vcl/system/exceptions.h"

namespace {

using namespace vcl;

enum TShade : uint8_t { shLight, shDark };

class TWidget : public TComponent {
public:
    VCL_CLASS_PUBLISHED(TWidget, TComponent)
    using TComponent::TComponent;

    int Width() const { return width_; }
    void SetWidth(int w) { width_ = w; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    TShade Shade() const { return shade_; }
    void SetShade(TShade s) { shade_ = s; }
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& c) { caption_ = c; }
    double Ratio() const { return ratio_; }
    void SetRatio(double r) { ratio_ = r; }
    TComponent* Buddy() const { return buddy_; }
    void SetBuddy(TComponent* b) { buddy_ = b; }
    int Version() const { return 3; }

private:
    int width_ = 0;
    bool visible_ = true;
    TShade shade_ = shLight;
    std::string caption_;
    double ratio_ = 0;
    TComponent* buddy_ = nullptr;
};

std::vector<TPropInfo> TWidget::Published() {
    return {Property("Width", &TWidget::Width, &TWidget::SetWidth),
            Property("Visible", &TWidget::Visible, &TWidget::SetVisible),
            Property("Shade", &TWidget::Shade, &TWidget::SetShade),
            Property("Caption", &TWidget::Caption, &TWidget::SetCaption),
            Property("Ratio", &TWidget::Ratio, &TWidget::SetRatio),
            Property("Buddy", &TWidget::Buddy, &TWidget::SetBuddy),
            Property("Version", &TWidget::Version)};
}

class TFancyWidget : public TWidget {
public:
    VCL_CLASS(TFancyWidget, TWidget)
    using TWidget::TWidget;
};

TEST(TObject, ClassNamesAndAncestry) {
    TFancyWidget w(nullptr);
    const TObject& o = w;
    EXPECT_EQ(o.ClassName(), "TFancyWidget");
    EXPECT_TRUE(o.InheritsFrom("TWidget"));
    EXPECT_TRUE(o.InheritsFrom("tcomponent"));
    EXPECT_TRUE(o.InheritsFrom("TObject"));
    EXPECT_FALSE(o.InheritsFrom("TControl"));
    EXPECT_EQ(TWidget::StaticClass().Parent()->Name(), "TComponent");
}

TEST(PublishedProperties, ReadAndWrittenByNameThroughTheAncestors) {
    TFancyWidget w(nullptr);
    TComponent buddy(nullptr);
    SetOrdProp(&w, "width", 120);
    SetOrdProp(&w, "Visible", 0);
    SetOrdProp(&w, "Shade", shDark);
    SetStrProp(&w, "Caption", "Start");
    SetFloatProp(&w, "Ratio", 0.25);
    SetObjectProp(&w, "Buddy", &buddy);
    SetStrProp(&w, "Name", "btnStart");  // published by TComponent
    SetOrdProp(&w, "Tag", -98);
    EXPECT_EQ(w.Width(), 120);
    EXPECT_FALSE(w.Visible());
    EXPECT_EQ(w.Shade(), shDark);
    EXPECT_EQ(GetStrProp(&w, "CAPTION"), "Start");
    EXPECT_EQ(GetFloatProp(&w, "Ratio"), 0.25);
    EXPECT_EQ(GetObjectProp(&w, "Buddy"), &buddy);
    EXPECT_EQ(w.Name(), "btnStart");
    EXPECT_EQ(GetOrdProp(&w, "Tag"), -98);
    EXPECT_EQ(GetPropInfo(&w, "Shade")->Kind, TTypeKind::tkEnumeration);
    EXPECT_EQ(GetPropInfo(&w, "Width")->Kind, TTypeKind::tkInteger);

    std::vector<std::string> names;
    for (const TPropInfo* p : w.ClassType().Properties())
        names.push_back(p->Name);
    EXPECT_EQ(names.front(), "Name");
    EXPECT_EQ(names.size(), 9u);
}

TEST(PublishedProperties, MisuseRaisesInsteadOfCorrupting) {
    TWidget w(nullptr);
    EXPECT_FALSE(IsPublishedProp(&w, "Height"));
    EXPECT_FALSE(IsPublishedProp(nullptr, "Width"));
    EXPECT_THROW(GetOrdProp(&w, "Height"), EPropertyError);
    EXPECT_THROW(GetOrdProp(&w, "Caption"), EPropertyError);
    EXPECT_THROW(SetStrProp(&w, "Width", "1"), EPropertyError);
    EXPECT_THROW(SetOrdProp(&w, "Version", 4), EPropertyError);
    EXPECT_EQ(GetOrdProp(&w, "Version"), 3);
    EXPECT_THROW(GetOrdProp(nullptr, "Width"), EPropertyError);
}

}  // namespace
