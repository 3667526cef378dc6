#pragma once
// The element names of this folder's layouts, put into the control factory (see
// Control/UIControlCatalog for the whole set).

namespace SkinUI {

// HBox, VBox, HorizontalLayout, VerticalLayout, TileLayout, TabLayout, ChildLayout, ListCtrl
// and ListCtrlItem.
void RegisterLayoutElements();

}  // namespace SkinUI
