#pragma once
// What skinview tells in words: where a skin fails to parse, the problems a build met, and the
// control tree.

#include <string>
#include <vector>

#include "Core/UISkinIssues.h"

namespace SkinUI {
class CControlUI;
class CSkinMarkup;
}  // namespace SkinUI

// "FILE:LINE:COLUMN: error: MESSAGE" (without line and column when the failure has none, as
// for a file that cannot be opened).
std::wstring DescribeSkinError(const std::wstring& file, const SkinUI::CSkinMarkup& markup);

// "FILE:LINE:COLUMN: warning: TEXT"; file names the skin the issue is in when the issue itself
// names none (a skin given as text).
std::wstring DescribeSkinIssue(const std::wstring& file, const SkinUI::SkinIssue& issue);

// Line nLine (from 1) of the skin file as text, for showing where it fails; empty when the file
// or the line cannot be read. Lines end as the parser counts them: "\r\n", "\n" or "\r".
std::wstring ReadSkinLine(const std::wstring& path, int nLine);

// One line per control, depth first, indented two blanks a level: its class, its name in
// quotes when it has one, its place in window pixels as [left,top,right,bottom], and "hidden"
// when it is not visible.
std::vector<std::wstring> ControlTreeLines(SkinUI::CControlUI* pRoot);
