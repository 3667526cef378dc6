#include "SkinReports.h"

#include <windows.h>

#include <cstdio>

#include "Core/UIContainer.h"
#include "Core/UIControl.h"
#include "Core/UIMarkup.h"

namespace {

std::wstring Place(const std::wstring& file, int nLine, int nColumn) {
  if (nLine <= 0) return file;
  return file + L":" + std::to_wstring(nLine) + L":" + std::to_wstring(nColumn);
}

void AddTreeLines(SkinUI::CControlUI* pControl, int nDepth, std::vector<std::wstring>& lines) {
  std::wstring line(static_cast<size_t>(nDepth) * 2, L' ');
  line += pControl->ClassName();
  if (!pControl->GetName().IsEmpty()) line += L" \"" + std::wstring(pControl->GetName().GetData()) + L"\"";
  const RECT& rc = pControl->GetPosition();
  line += L" [" + std::to_wstring(rc.left) + L"," + std::to_wstring(rc.top) + L"," +
          std::to_wstring(rc.right) + L"," + std::to_wstring(rc.bottom) + L"]";
  if (!pControl->IsVisible()) line += L" hidden";
  lines.push_back(line);
  auto* pContainer = static_cast<SkinUI::IContainerUI*>(pControl->QueryNamedInterface(L"IContainer"));
  if (pContainer == nullptr) return;
  for (int i = 0; i < pContainer->GetItemCount(); ++i) {
    AddTreeLines(pContainer->GetItemAt(i), nDepth + 1, lines);
  }
}

}  // namespace

std::wstring DescribeSkinError(const std::wstring& file, const SkinUI::CSkinMarkup& markup) {
  return Place(file, markup.GetLastErrorLine(), markup.GetLastErrorColumn()) + L": error: " +
         markup.GetLastErrorMessage();
}

std::wstring DescribeSkinIssue(const std::wstring& file, const SkinUI::SkinIssue& issue) {
  const std::wstring source = issue.sSource.IsEmpty() ? file : std::wstring(issue.sSource.GetData());
  return Place(source, issue.nLine, issue.nColumn) + L": warning: " + issue.Describe().GetData();
}

std::vector<std::wstring> ControlTreeLines(SkinUI::CControlUI* pRoot) {
  std::vector<std::wstring> lines;
  if (pRoot != nullptr) AddTreeLines(pRoot, 0, lines);
  return lines;
}

std::wstring ReadSkinLine(const std::wstring& path, int nLine) {
  FILE* pFile = _wfopen(path.c_str(), L"rb");
  if (pFile == nullptr) return std::wstring();
  std::string bytes;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pFile)) > 0) bytes.append(buffer, n);
  std::fclose(pFile);
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  const int cch = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(cch), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], cch);
  size_t start = 0;
  for (int i = 1; i < nLine; ++i) {
    const size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) return std::wstring();
    start = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
  }
  return text.substr(start, text.find_first_of(L"\r\n", start) - start);
}
