#include "Control/UIControlCatalog.h"

#include "Control/UIActiveX.h"
#include "Control/UIButton.h"
#include "Control/UICheckBox.h"
#include "Control/UICombo.h"
#include "Control/UIDateTime.h"
#include "Control/UIEdit.h"
#include "Control/UIGifAnim.h"
#include "Control/UILabel.h"
#include "Control/UIList.h"
#include "Control/UIListContainerElement.h"
#include "Control/UIListHeader.h"
#include "Control/UIListHeaderItem.h"
#include "Control/UIListLabelElement.h"
#include "Control/UIListTextElement.h"
#include "Control/UIOption.h"
#include "Control/UIProgress.h"
#include "Control/UIRichEdit.h"
#include "Control/UIScrollBar.h"
#include "Control/UISlider.h"
#include "Control/UIText.h"
#include "Control/UITreeNode.h"
#include "Control/UITreeView.h"
#include "Control/UIWebBrowser.h"
#include "Core/UIControlFactory.h"
#include "Layout/UILayoutCatalog.h"
#include "Utils/UIShadow.h"

namespace SkinUI {

void RegisterControlElements() {
  RegisterControl<CEditUI>(L"Edit");
  RegisterControl<CListUI>(L"List");
  RegisterControl<CTextUI>(L"Text");
  RegisterControl<CComboUI>(L"Combo");
  RegisterControl<CLabelUI>(L"Label");
  RegisterControl<CButtonUI>(L"Button");
  RegisterControl<COptionUI>(L"Option");
  RegisterControl<CSliderUI>(L"Slider");
  RegisterControl<CActiveXUI>(L"ActiveX");
  RegisterControl<CGifAnimUI>(L"GifAnim", true);
  RegisterControl<CProgressUI>(L"Progress");
  RegisterControl<CRichEditUI>(L"RichEdit");
  RegisterControl<CCheckBoxUI>(L"CheckBox");
  RegisterControl<CDateTimeUI>(L"DateTime");
  RegisterControl<CTreeViewUI>(L"TreeView");
  RegisterControl<CTreeNodeUI>(L"TreeNode");
  RegisterControl<CScrollBarUI>(L"ScrollBar");
  RegisterControl<CListHeaderUI>(L"ListHeader");
  RegisterControl<CWebBrowserUI>(L"WebBrowser");
  RegisterControl<CListHeaderItemUI>(L"ListHeaderItem");
  RegisterControl<CListTextElementUI>(L"ListTextElement");
  RegisterControl<CListLabelElementUI>(L"ListLabelElement");
  RegisterControl<CListContainerElementUI>(L"ListContainerElement");
}

void RegisterAllControls() {
  RegisterControlElements();
  RegisterLayoutElements();
  CShadowUI::RegisterAsHostShadow();
}

}  // namespace SkinUI
