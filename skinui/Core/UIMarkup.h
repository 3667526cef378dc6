#pragma once
// CSkinMarkup: the skin markup parser, and CSkinMarkupNode, a light read-only view of one of its
// elements.
//
// The document is parsed once, in place, in a single wide-character buffer owned by the markup:
// names and values handed out point into that buffer and stay valid until the markup is cleared
// or parses again. The dialect: elements with double-quoted attributes, the entities &amp; &lt;
// &gt; &quot; &apos;, comments and processing instructions (skipped), and text content only
// before an element's first child.

#include <windows.h>

namespace SkinUI {

class CSkinArchiveUI;
class CSkinMarkup;

// How a block of bytes is turned into the wide text the parser reads.
enum class SkinTextEncoding {
  Utf8 = 0,   // an optional byte-order mark, then UTF-8
  Utf16 = 1,  // a byte-order mark (FF FE little-endian, FE FF big-endian), then 16-bit units
  Ansi = 2,   // the system's ANSI code page
};

// Where ParseSkinFile finds skin files: the window host's resource settings.
struct SkinFileSource {
  // The resource folder, ending in a path separator unless empty.
  LPCWSTR pstrFolder;
  // The resource archive's file name below the folder; null or empty reads plain files.
  LPCWSTR pstrArchive;
  // The host keeps the archive open: pOpenArchive is used instead of opening the file.
  bool bArchiveCached;
  CSkinArchiveUI* pOpenArchive;
};

class CSkinMarkupNode {
 public:
  // Attributes past this many are never visible through a node.
  static constexpr int kMaxAttributes = 64;

  CSkinMarkupNode();

  bool IsValid() const;
  CSkinMarkupNode NextSibling() const;
  CSkinMarkupNode FirstChild() const;
  bool HasChildren() const;
  LPCWSTR GetTagName() const;

  bool HasAttributes() const;
  int GetAttributeCount() const;
  // In document order; an index outside 0..count-1 gives the empty text.
  LPCWSTR GetAttributeNameAt(int iIndex) const;
  LPCWSTR GetAttributeValueAt(int iIndex) const;
  // Copies the value of the first attribute named exactly pstrName into pstrValue, at most
  // cchMax characters (terminated when shorter: pass a zeroed buffer one character larger).
  bool FindAttribute(LPCWSTR pstrName, LPWSTR pstrValue, SIZE_T cchMax) const;

  // Where the element's name and the i-th attribute's name start in the document, in characters
  // (CSkinMarkup::LocateOffset turns them into lines and columns); kNoOffset on an invalid node
  // or index.
  ULONG GetSourceOffset() const;
  ULONG GetAttributeSourceOffsetAt(int iIndex) const;

 private:
  friend class CSkinMarkup;
  CSkinMarkupNode(CSkinMarkup* pOwner, ULONG iPos);

  // Walks the start tag once and remembers where each attribute's name and value are.
  void MapAttributes() const;
  LPCWSTR TextAt(ULONG iOffset) const;

  struct XMLATTRIBUTE {
    ULONG iName;
    ULONG iValue;
  };

  CSkinMarkup* m_pOwner;
  ULONG m_iPos;
  ULONG m_nGeneration;
  mutable int m_nAttributes;
  mutable XMLATTRIBUTE m_aAttributes[kMaxAttributes];
};

class CSkinMarkup {
 public:
  // A skin file or archive entry may hold at most this many bytes.
  static constexpr DWORD kMaxSkinFileBytes = 4194304;

  explicit CSkinMarkup(LPCWSTR pstrText = nullptr);
  CSkinMarkup(const CSkinMarkup&) = delete;
  CSkinMarkup& operator=(const CSkinMarkup&) = delete;
  ~CSkinMarkup();

  // Copies the text (a null text is the empty document) and parses it. On failure the markup is
  // cleared and the error message and location say why.
  bool ParseText(LPCWSTR pstrText);
  // Decodes the block into a new document and parses it.
  bool ParseBytes(const void* pBytes, DWORD dwSize, SkinTextEncoding encoding);
  // Reads the named skin file from the resource folder or, when an archive is set, only from
  // the archive, and parses it. Without a source the framework-wide skin folder and skin
  // archive of the window host are used.
  bool ParseSkinFile(LPCWSTR pstrName, SkinTextEncoding encoding);
  bool ParseSkinFile(LPCWSTR pstrName, SkinTextEncoding encoding, const SkinFileSource& source);
  // Parses a UTF-8 module resource (numeric id, resource type).
  bool ParseSkinResource(HMODULE hModule, UINT uId, LPCWSTR pstrType);

  void Clear();
  bool IsValid() const;
  CSkinMarkupNode GetRootNode();

  LPCWSTR GetLastErrorMessage() const;
  LPCWSTR GetLastErrorLocation() const;
  // Line and column (both from 1; a column counts characters, a tab as one) where the last
  // parse failed; 0 when the failure has no place in a text (a file that cannot be read).
  int GetLastErrorLine() const;
  int GetLastErrorColumn() const;

  // Keeps an untouched copy of each document parsed from now on, so that offsets into it can be
  // turned into lines and columns (skin diagnostics; a copy of every document costs its size).
  void KeepSourceText(bool bKeep);
  // Line and column (from 1) of a character offset into the kept copy; false without one.
  bool LocateOffset(ULONG iOffset, int* pnLine, int* pnColumn) const;

  // No place in the document.
  static constexpr ULONG kNoOffset = 0xFFFFFFFFu;

 private:
  friend class CSkinMarkupNode;

  struct XMLELEMENT {
    ULONG iStart;   // offset of the element name
    ULONG iChild;   // first child, 0 = none
    ULONG iNext;    // next sibling, 0 = none
    ULONG iParent;  // 0 = document level
    ULONG iData;    // end of the start tag's attribute area
  };

  // Takes ownership of a NUL-terminated buffer of cchText characters plus the terminator and
  // parses it in place.
  bool ParseOwnedBuffer(LPWSTR pstrXML, SIZE_T cchText);
  // Turns the failure's offset into a line and column of the document as it was before the
  // parse rewrote it. Only failures pay for this.
  void LocateError(LPCWSTR pstrOriginal);
  bool ParseDocument();
  bool ParseAttributes(LPWSTR& pstrText);
  bool ParseEndTag(LPWSTR& pstrText, ULONG iElement);
  // Appends a record; 0 when the table cannot grow.
  ULONG AppendElement(ULONG iStart, ULONG iParent);
  ULONG OffsetOf(LPCWSTR pstr) const;

  void ResetError();
  // pstrAt is where in the document the failure is, when not at pstrLocation itself.
  bool Fail(LPCWSTR pstrMessage, LPCWSTR pstrLocation = nullptr, LPCWSTR pstrAt = nullptr);

  LPWSTR m_pstrXML;
  XMLELEMENT* m_pElements;
  ULONG m_nElements;
  ULONG m_nReservedElements;
  // Changes whenever the document goes, so nodes of an earlier document read as invalid.
  ULONG m_nGeneration;
  WCHAR m_szErrorMsg[100];
  WCHAR m_szErrorXML[50];
  ULONG m_iErrorOffset;
  int m_nErrorLine;
  int m_nErrorColumn;
  bool m_bKeepSource;
  // The document as it was before parsing, while KeepSourceText is on.
  LPWSTR m_pstrSource;
};

}  // namespace SkinUI
