// The walk that gives a skinned form's controls their window adapters, and the factory that
// picks the adapter by the control's class name from the skin manager's ThirdParty lists.
//
// The factory is a table of one creator per ThirdParty group; a group without a creator makes
// no adapter. Edits and grids are filled here; the other adapter families put theirs in with
// SetThirdPartyAdapterFactory at start-up.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/windows/adapters/graph_item.h"
#include "skin/windows/adapters/window_adapter.h"
#include "vcl/controls/buttons.h"
#include "skin/windows/adapters/window_adapter.h"
#include "vcl/controls/controls.h"
#include "vcl/system/messages.h"
#include "vcl/system/persistent.h"

namespace skin {

class TacMainWnd;
class TsCommonData;
class TsSkinManager;
class TsSkinProviderBase;

// Groups of the ThirdParty lists, by index: the index decides the adapter made.
enum TacThirdGroup : int {
    tgEdits = 0, tgButtons, tgBitBtns, tgCheckBoxes, tgComboBoxes, tgGrids, tgGroupBoxes,
    tgListViews, tgPanels, tgTreeViews, tgWWEdits, tgGridEh, tgVirtualTrees, tgPageControl,
    tgTabControl, tgToolBar, tgStatusBar, tgSpeedButton, tgCount
};

// Makes and binds the adapter of one group for a window; null when it makes none.
using TacAdapterFactory = std::function<TacMainWnd*(win::HWND wnd, TsCommonData* skinData,
                                                    TsSkinManager* manager,
                                                    const std::string& section)>;
// The factory that makes and binds an adapter of class T (the scrolling family's flag set).
template <class T>
TacAdapterFactory AdapterFactoryOf() {
    return [](win::HWND wnd, TsCommonData* skinData, TsSkinManager* manager,
              const std::string& section) -> TacMainWnd* {
        return AttachAdapter<T>(wnd, skinData, manager, section, true);
    };
}
// Out-of-range groups are ignored; an empty factory clears the group.
void SetThirdPartyAdapterFactory(int group, TacAdapterFactory factory);
const TacAdapterFactory& ThirdPartyAdapterFactory(int group);
// The first group (in index order) whose list names `className` exactly; -1 when none.
int FindThirdPartyGroup(TsSkinManager* manager, const std::string& className);

using TAddItemEvent = std::function<void(vcl::TComponent*, bool&, std::string&)>;

class TacCtrlAdapter;

// One windowed control that has (or had) an adapter. (A speed button has a TacGraphItem.)
class TacAdapterItem : public vcl::TPersistent {
public:
    VCL_CLASS(TacAdapterItem, vcl::TPersistent)
    explicit TacAdapterItem(TacCtrlAdapter* owner);
    ~TacAdapterItem() override;
    // The factory: binds the adapter of the control's ThirdParty group, when it has one.
    virtual void AttachAdapter(vcl::TWinControl* c);
    // No adapter, or one that has given its window back.
    bool Dead() const;

    vcl::TWinControl* Ctrl = nullptr;
    std::unique_ptr<TsCommonData> SkinData;
    TacCtrlAdapter* OwnerAdapter = nullptr;
    TacMainWnd* ScrollWnd = nullptr;
};

class TacCtrlAdapter : public vcl::TPersistent {
public:
    VCL_CLASS(TacCtrlAdapter, vcl::TPersistent)
    explicit TacCtrlAdapter(TsSkinProviderBase* provider);
    ~TacCtrlAdapter() override;
    TacCtrlAdapter(const TacCtrlAdapter&) = delete;
    TacCtrlAdapter& operator=(const TacCtrlAdapter&) = delete;

    virtual bool IsControlSupported(vcl::TControl* c);
    TacAdapterItem* GetItem(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }
    virtual void AddControl(vcl::TWinControl* c) { AddNewItem(c, DefaultSection); }
    virtual void AddNewItem(vcl::TWinControl* c, const std::string& section);
    virtual void RemoveItem(int index);
    // Adds or refreshes the item of a speed button and hands the button to a new handler.
    virtual void AddGraphItem(vcl::TSpeedButton* b);
    TacGraphItem* GetGraphItem(int index) const;
    int GraphCount() const { return static_cast<int>(graphItems_.size()); }
    // Sends the message to the window of every item with a live adapter.
    virtual void SendToItems(vcl::TMessage& m);
    // The walk over `parent`'s owned components and child controls; null: the form.
    void AddAllItems(vcl::TWinControl* parent = nullptr);
    void RemoveDeadItems();

    std::string DefaultSection;
    TsSkinProviderBase* Provider = nullptr;
    TAddItemEvent OnSkinItem;

private:
    bool AskSkinItem(vcl::TComponent* c, std::string& section);
    void Walk(vcl::TWinControl* parent);
    void SkinLabel(vcl::TControl* label);
    std::vector<std::unique_ptr<TacAdapterItem>> items_;
    std::vector<std::unique_ptr<TacGraphItem>> graphItems_;
};

}  // namespace skin
