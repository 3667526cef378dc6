#pragma once
// ISkinBuildObserver: what a skin build meets that it cannot use, told to whoever asks (a skin
// lint, a previewer). While a CSkinBuildScope lives on a thread, every build on that thread (a
// window's skin, the skins its "Include" elements and child layouts name) tells the scope's
// observer each element it skips, each attribute it applies or keeps unread, and each skin or
// image it cannot read, with the place in the document where it met it. Without a scope the
// builder and the controls only check that there is none.

#include <windows.h>

namespace SkinUI {

class CControlUI;
class CSkinMarkup;
struct AttributeEntry;

// A place in a skin document: the source the build was given (a file name; null for markup
// text or a resource), the element being built, and a character offset into the markup's kept
// text (CSkinMarkup::KeepSourceText, LocateOffset).
struct SkinSourcePlace {
  LPCWSTR pstrSource;
  LPCWSTR pstrElement;
  const CSkinMarkup* pMarkup;
  ULONG iOffset;
};

// An attribute an element reads, and what its value is (one of the k...Value texts of
// UIAttributeTable.h).
struct SkinAttributeInfo {
  LPCWSTR pstrName;
  LPCWSTR pstrValueKind;
};

class ISkinBuildObserver {
 public:
  // An element that no factory and no callback made a control of: skipped with its children.
  virtual void OnUnknownElement(const SkinSourcePlace& place) = 0;
  // An attribute given to a control. pEntry is the table entry that reads it; null when no table
  // and no control took the name (the control keeps it as a custom attribute).
  virtual void OnControlAttribute(const SkinSourcePlace& place, CControlUI& control,
                                  const AttributeEntry* pEntry, LPCWSTR pstrName,
                                  LPCWSTR pstrValue) = 0;
  // An attribute of the root "Window" element or of an element that is no control ("Image",
  // "Font", "Default", "MultiLanguage", "Include"). pInfo is what the element reads under the
  // name, null when it reads nothing under it; aKnown lists all it reads.
  virtual void OnElementAttribute(const SkinSourcePlace& place, const SkinAttributeInfo* pInfo,
                                  const SkinAttributeInfo* aKnown, int nKnown, LPCWSTR pstrName,
                                  LPCWSTR pstrValue) = 0;
  // An "Image" element whose picture cannot be read.
  virtual void OnImageNotRead(const SkinSourcePlace& place, LPCWSTR pstrImage) = 0;
  // A skin that another names ("Include", a child layout) and that cannot be read or parsed; the
  // markup that tried it says why.
  virtual void OnSkinNotRead(const SkinSourcePlace& place, LPCWSTR pstrSource,
                             const CSkinMarkup& markup) = 0;

 protected:
  ~ISkinBuildObserver() = default;
};

// Makes pObserver the observer of every skin build on this thread while it lives. Scopes nest;
// the innermost one's observer is told.
class CSkinBuildScope {
 public:
  explicit CSkinBuildScope(ISkinBuildObserver* pObserver);
  ~CSkinBuildScope();
  CSkinBuildScope(const CSkinBuildScope&) = delete;
  CSkinBuildScope& operator=(const CSkinBuildScope&) = delete;

  // The observer of this thread's builds; null without a scope.
  static ISkinBuildObserver* Observer();
  // Where this thread's build is now (set by the builder through CSkinPlaceMark).
  static const SkinSourcePlace& Place();

 private:
  ISkinBuildObserver* m_pPrevious;
};

// While it lives, the thread's build is at place; the place before comes back after it.
class CSkinPlaceMark {
 public:
  explicit CSkinPlaceMark(const SkinSourcePlace& place);
  ~CSkinPlaceMark();
  CSkinPlaceMark(const CSkinPlaceMark&) = delete;
  CSkinPlaceMark& operator=(const CSkinPlaceMark&) = delete;

 private:
  SkinSourcePlace m_previous;
};

}  // namespace SkinUI
