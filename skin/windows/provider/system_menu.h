// The skinned system menu of a form: a popup menu built from the form's border style and state.
#pragma once

namespace skin {

class TsSkinProvider;

class TsSystemMenu {
public:
    explicit TsSystemMenu(TsSkinProvider* provider) : provider_(provider) {}
    virtual ~TsSystemMenu() = default;
    void UpdateItems() {}
    bool VisibleClose() const { return true; }
    bool VisibleMax() const { return true; }
    bool VisibleMin() const { return true; }
    bool EnabledMax() const { return true; }
    bool EnabledMin() const { return true; }
    bool EnabledRestore() const { return true; }

private:
    TsSkinProvider* provider_;
};

}  // namespace skin
