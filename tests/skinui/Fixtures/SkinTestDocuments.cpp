#include "SkinTestDocuments.h"

#include <windows.h>

#include <algorithm>

#include "SkinTestPaths.h"
#include "support/TestFiles.h"

namespace skin_testing {

namespace {

std::vector<SkinDocument> LoadFolder(const std::wstring& folder) {
  std::vector<SkinDocument> documents;
  WIN32_FIND_DATAW found;
  HANDLE hFind = FindFirstFileW((folder + L"\\*.xml").c_str(), &found);
  if (hFind == INVALID_HANDLE_VALUE) return documents;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    SkinDocument document;
    document.name = found.cFileName;
    document.bytes = testing_support::ReadFileBytes(folder + L"\\" + found.cFileName);
    document.text = Utf8ToWide(document.bytes);
    documents.push_back(document);
  } while (FindNextFileW(hFind, &found));
  FindClose(hFind);
  std::sort(documents.begin(), documents.end(),
            [](const SkinDocument& a, const SkinDocument& b) { return a.name < b.name; });
  return documents;
}

}  // namespace

std::vector<SkinDocument> LoadTestSkins() { return LoadFolder(QUILL_SKIN_TEST_DATA); }

std::vector<SkinDocument> LoadInstallerSkins() { return LoadFolder(QUILL_INSTALLER_SKINS); }

std::wstring Utf8ToWide(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], n);
  // A leading byte-order mark is not part of the markup.
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return text;
}

std::string WideToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n, nullptr, nullptr);
  return bytes;
}

std::wstring GenerateSkin(size_t cchMin) {
  std::wstring text =
      L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
      L"<Window size=\"800,600\" caption=\"0,0,0,32\" roundcorner=\"4,4\">\r\n"
      L"\t<Font id=\"0\" name=\"微软雅黑\" size=\"12\" bold=\"false\" />\r\n"
      L"\t<VerticalLayout bkcolor=\"#FFFFFFFF\">\r\n";
  for (int iPanel = 0; text.size() < cchMin; ++iPanel) {
    const std::wstring panel = std::to_wstring(iPanel);
    text += L"\t\t<!-- panel " + panel + L" -->\r\n";
    text += L"\t\t<HorizontalLayout name=\"row_" + panel + L"\" height=\"32\" childpadding=\"4\" inset=\"8,2,8,2\">\r\n";
    for (int iItem = 0; iItem < 8; ++iItem) {
      const std::wstring item = panel + L"_" + std::to_wstring(iItem);
      text += L"\t\t\t<Button name=\"btn_" + item + L"\" text=\"Item " + item +
              L" &amp; more\" tooltip=\"打开 &quot;" + item +
              L"&quot;\" width=\"70\" normalimage=\"file='common\\button\\btn_blue_normal.png' "
              L"corner='4,4,4,4'\" textcolor=\"#FF333333\" />\r\n";
    }
    text += L"\t\t\t<Label text=\"&lt;status&gt;\" />\r\n";
    text += L"\t\t</HorizontalLayout>\r\n";
  }
  text += L"\t</VerticalLayout>\r\n</Window>\r\n";
  return text;
}

}  // namespace skin_testing
