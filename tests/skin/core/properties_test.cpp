#include "skin/core/state/properties.h"

#include <gtest/gtest.h>

#include "vcl/system/component.h"

namespace skin {
namespace {

class TProbe : public vcl::TComponent {
public:
    VCL_CLASS_PUBLISHED(TProbe, vcl::TComponent)
    using vcl::TComponent::TComponent;
    int Color() const { return color_; }
    void SetColor(int c) { color_ = c; }
    int Version() const { return 3; }
    std::string Options() const { return options_; }
    void SetOptions(const std::string& o) { options_ = o; }
    vcl::TComponent* Buddy() const { return buddy_; }
    void SetBuddy(vcl::TComponent* b) { buddy_ = b; }

private:
    int color_ = 5;
    std::string options_ = "x,abc";
    vcl::TComponent* buddy_ = nullptr;
};

std::vector<vcl::TPropInfo> TProbe::Published() {
    return {vcl::Property("Color", &TProbe::Color, &TProbe::SetColor),
            vcl::Property("Version", &TProbe::Version),
            vcl::Property("Options", &TProbe::Options, &TProbe::SetOptions),
            vcl::Property("Buddy", &TProbe::Buddy, &TProbe::SetBuddy)};
}

TEST(Properties, AbsentOrOtherKindsAreQuietlyAbsent) {
    TProbe p(nullptr), other(nullptr);
    EXPECT_TRUE(HasProperty(&p, "color"));
    EXPECT_FALSE(HasProperty(&p, "Colour"));
    EXPECT_FALSE(HasProperty(nullptr, "Color"));
    EXPECT_EQ(GetIntProperty(&p, "Color"), 5);
    EXPECT_EQ(GetIntProperty(&p, "Options"), -1);
    SetIntProperty(&p, "Color", 9);
    SetIntProperty(&p, "Version", 9);  // read-only: nothing
    SetIntProperty(&p, "Missing", 9);
    EXPECT_EQ(p.Color(), 9);
    EXPECT_EQ(GetIntProperty(&p, "Version"), 3);
    p.SetBuddy(&other);
    EXPECT_EQ(GetObjectProperty(&p, "Buddy"), &other);
    EXPECT_EQ(GetObjectProperty(&p, "Color"), nullptr);
}

TEST(Properties, SetMembersAreWholeNames) {
    TProbe p(nullptr);
    EXPECT_TRUE(SetPropHasItem(&p, "Options", "abc"));
    EXPECT_FALSE(SetPropHasItem(&p, "Options", "ab"));
    ChangeSetPropItem(&p, "Options", "ab", false);
    EXPECT_EQ(p.Options(), "x,abc");
    ChangeSetPropItem(&p, "Options", "ab", true);
    EXPECT_EQ(p.Options(), "x,abc,ab");
    ChangeSetPropItem(&p, "Options", "x", false);
    EXPECT_EQ(p.Options(), "abc,ab");
}

}  // namespace
}  // namespace skin
