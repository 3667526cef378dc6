#include "Layout/UILayoutCatalog.h"

#include "Core/UIControlFactory.h"
#include "Layout/CListCtrlItemElementUI.h"
#include "Layout/CListCtrlUI.h"
#include "Layout/UIChildLayout.h"
#include "Layout/UIHorizontalLayout.h"
#include "Layout/UITabLayout.h"
#include "Layout/UITileLayout.h"
#include "Layout/UIVerticalLayout.h"

namespace SkinUI {

void RegisterLayoutElements() {
  RegisterControl<CHorizontalLayoutUI>(L"HBox");
  RegisterControl<CVerticalLayoutUI>(L"VBox");
  RegisterControl<CListCtrlUI>(L"ListCtrl");
  RegisterControl<CTabLayoutUI>(L"TabLayout");
  RegisterControl<CTileLayoutUI>(L"TileLayout");
  RegisterControl<CChildLayoutUI>(L"ChildLayout");
  RegisterControl<CListCtrlItemElementUI>(L"ListCtrlItem", true);
  RegisterControl<CVerticalLayoutUI>(L"VerticalLayout");
  RegisterControl<CHorizontalLayoutUI>(L"HorizontalLayout");
}

}  // namespace SkinUI
