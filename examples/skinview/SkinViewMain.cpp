// skinview: a previewer and lint for the people who write skins. See SkinViewOptions.cpp for the
// command line, PreviewWindow.h for the window and SkinBatch.h for the runs without one.

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "ConsoleText.h"
#include "ContrastScheme.h"
#include "Control/UIControlCatalog.h"
#include "Core/UIManager.h"
#include "PreviewWindow.h"
#include "SkinBatch.h"
#include "SkinViewOptions.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  ::LocalFree(argv);

  SkinViewOptions options;
  std::wstring error;
  if (!ParseSkinViewOptions(args, &options, &error)) {
    WriteLine(TextStream::kError, L"skinview: " + error);
    WriteLine(TextStream::kError, kSkinViewUsage);
    return 2;
  }

  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
  ::InitCommonControlsEx(&icc);
  // The ActiveX and web browser controls need the platform's object library.
  ::OleInitialize(nullptr);
  SkinUI::CWindowHostUI::SetModuleInstance(hInstance);
  SkinUI::RegisterAllControls();
  if (options.bContrast) SkinUI::CWindowHostUI::SetSystemColorSource(&HighContrastBlackColor);

  int nExit = 0;
  if (options.IsBatch()) {
    nExit = RunSkinBatch(options);
  } else {
    const SkinLocation skin = LocateSkin(options.skinPath);
    SkinUI::CWindowHostUI::SetSkinFolder(skin.folder.c_str());
    CPreviewWindow preview(skin, options.uDpi, options.size, options.bContrast);
    if (preview.CreatePreview() == nullptr) {
      WriteLine(TextStream::kError, L"skinview: the window cannot be made");
      nExit = 1;
    } else {
      preview.RunModal(true);
    }
  }
  ::OleUninitialize();
  return nExit;
}
