#pragma once
// The element names of this folder's controls, put into the control factory. A program that
// builds skins calls RegisterAllControls once before its first build, or registers only the
// controls its skins use (RegisterControl<T> of Core/UIControlFactory) to link no others.

namespace SkinUI {

// Label, Text, Button, Option, CheckBox, Progress, Slider, ScrollBar, Edit, RichEdit, Combo,
// the lists and their items, TreeView and TreeNode, DateTime, GifAnim, ActiveX, WebBrowser.
void RegisterControlElements();
// The controls above, the layouts (RegisterLayoutElements) and the window shadow.
void RegisterAllControls();

}  // namespace SkinUI
