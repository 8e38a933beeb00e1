// The skinned system menu of a form. While the provider paints the frame it takes WS_SYSMENU off
// the window, so the system draws no caption buttons; this pop-up menu stands in for the window's
// own system menu, and it answers which caption buttons are shown and enabled.
//
// TsCustomSysMenu holds the items and their clicks; the six questions are left to the derived
// menus (the form's TsSystemMenu here, a skinned dialog's menu elsewhere).
#pragma once

#include <string>

#include "vcl/controls/menus.h"

namespace vcl {
class TCustomForm;
}

namespace skin {

class TsSkinProvider;

class TsCustomSysMenu : public vcl::TPopupMenu {
public:
    VCL_CLASS(TsCustomSysMenu, vcl::TPopupMenu)
    explicit TsCustomSysMenu(vcl::TComponent* owner);

    virtual bool VisibleClose() const = 0;
    virtual bool VisibleMax() const = 0;
    virtual bool VisibleMin() const = 0;
    virtual bool EnabledMax() const = 0;
    virtual bool EnabledMin() const = 0;
    virtual bool EnabledRestore() const = 0;

    // (Re)builds the items from the window's own system menu: the five built-in commands, the
    // application's own entries, Close.
    void MakeItems();
    // Rebuilds when asked or when Close is missing, then shows and enables the built-in items
    // for the form's style and state.
    void UpdateItems(bool rebuild = false);

    void RestoreClick(vcl::TObject* sender);
    void MoveClick(vcl::TObject* sender);
    void SizeClick(vcl::TObject* sender);
    void MinimizeClick(vcl::TObject* sender);
    void MaximizeClick(vcl::TObject* sender);
    void CloseClick(vcl::TObject* sender);
    void ExtItemClick(vcl::TObject* sender);
    // Puts the sub-menu of the available skins at the top (with a line under it), when the
    // manager lists any; the skin in force is checked.
    void MakeSkinItems();
    // Loads the skin the clicked item names.
    void SkinItemClick(vcl::TObject* sender);
    // The skins sub-menu, or null when the menu has none.
    vcl::TMenuItem* SkinItem() const;

    // Which built-in items are shown and enabled (also the rules of the window's own menu).
    bool RestoreVisible() const;
    bool SizeVisible() const;
    bool MoveEnabled() const;
    bool SizeEnabled() const;

    TsSkinProvider* Provider = nullptr;
    vcl::TCustomForm* Form = nullptr;
    int ExtItemCount = 0;
    vcl::TMenuItem* ItemRestore = nullptr;
    vcl::TMenuItem* ItemMove = nullptr;
    vcl::TMenuItem* ItemSize = nullptr;
    vcl::TMenuItem* ItemMinimize = nullptr;
    vcl::TMenuItem* ItemMaximize = nullptr;
    vcl::TMenuItem* ItemClose = nullptr;

protected:
    bool Iconic() const;
    bool Maximized() const;
    bool MDIChild() const;
    // WM_SYSCOMMAND `command` sent to the form (nothing without its window).
    void SendCommand(unsigned command) const;

private:
    vcl::TMenuItem* AddItem(const std::string& name, unsigned command, const std::string& fallback,
                            vcl::TNotifyEvent click);
};

class TsSystemMenu : public TsCustomSysMenu {
public:
    VCL_CLASS(TsSystemMenu, TsCustomSysMenu)
    // One of the provider's components, named "SysMenu"; its items are built at once.
    explicit TsSystemMenu(TsSkinProvider* provider);

    bool VisibleClose() const override;
    bool VisibleMax() const override;
    bool VisibleMin() const override;
    bool EnabledMax() const override;
    bool EnabledMin() const override;
    bool EnabledRestore() const override;
};

}  // namespace skin
