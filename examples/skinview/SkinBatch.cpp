#include "SkinBatch.h"

#include <memory>

#include "ConsoleText.h"
#include "Core/UIOffscreenSkin.h"
#include "Core/UISkinIssues.h"
#include "PngFile.h"
#include "SkinReports.h"

int RunSkinBatch(const SkinViewOptions& options) {
  const SkinLocation skin = LocateSkin(options.skinPath);
  SkinUI::CWindowHostUI::SetSkinFolder(skin.folder.c_str());
  SkinUI::COffscreenSkin offscreen;
  SkinUI::CSkinIssueList issues(&offscreen.GetHost());
  bool bBuilt = false;
  {
    // Only a check pays for watching the build.
    std::unique_ptr<SkinUI::CSkinBuildScope> pScope;
    if (options.bCheck) pScope.reset(new SkinUI::CSkinBuildScope(&issues));
    bBuilt = offscreen.Build(skin.file.c_str(), options.uDpi != 0 ? options.uDpi : 96,
                             options.size, options.bContrast);
  }
  int nExit = 0;
  if (!bBuilt) {
    const SkinUI::CSkinMarkup& markup = *offscreen.GetBuilder().GetMarkup();
    WriteLine(TextStream::kError, markup.GetLastErrorMessage()[0] != L'\0'
                                      ? DescribeSkinError(skin.file, markup)
                                      : skin.file + L": error: the skin makes no control");
    nExit = 1;
  }
  if (options.bCheck) {
    for (int i = 0; i < issues.GetCount(); ++i) {
      WriteLine(TextStream::kOutput, DescribeSkinIssue(skin.file, issues.GetAt(i)));
    }
    if (issues.GetCount() > 0) nExit = 1;
  }
  if (!bBuilt) return nExit;
  if (options.bTree) {
    for (const std::wstring& line : ControlTreeLines(offscreen.GetHost().GetRoot())) {
      WriteLine(TextStream::kOutput, line);
    }
  }
  if (!options.pngPath.empty()) {
    SkinUI::DibSurface picture;
    if (!offscreen.Print(picture) || !WritePng(picture, options.pngPath)) {
      WriteLine(TextStream::kError, options.pngPath + L": error: the picture cannot be written");
      nExit = 1;
    }
  }
  return nExit;
}
