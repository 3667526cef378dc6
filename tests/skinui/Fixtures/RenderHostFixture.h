#pragma once
// A window host on a real (hidden) window for renderer tests, with the renderer's own image
// loader, a scratch skin folder, and the framework-wide skin settings put back afterwards.

#include <gtest/gtest.h>

#include <string>

#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "support/DibCanvas.h"
#include "support/PngWriter.h"
#include "support/TestFiles.h"

namespace render_testing {

class RenderHostTest : public ::testing::Test {
 protected:
  RenderHostTest() : m_folder(L"render-skin") {}

  void SetUp() override {
    SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
    m_hWnd = ::CreateWindowExW(0, L"STATIC", L"render", WS_POPUP, 0, 0, 200, 100, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(m_hWnd, nullptr);
    m_host.AttachWindow(m_hWnd);
    SkinUI::CWindowHostUI::SetImageLoader(&SkinUI::CSkinRenderer::LoadSkinImage);
    SkinUI::CWindowHostUI::UseSkinArchive(L"", true);
    SkinUI::CWindowHostUI::SetSkinFolder(m_folder.path().c_str());
  }

  void TearDown() override {
    SkinUI::CWindowHostUI::UseSkinArchive(L"", true);
    SkinUI::CWindowHostUI::SetSkinFolder(L"");
    m_host.RemoveAllImages(true);
  }

  ~RenderHostTest() override {
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
  }

  // Writes a PNG into the skin folder.
  void WriteImage(const std::wstring& name, const testing_support::TestImage& image) {
    ASSERT_TRUE(testing_support::WriteFileBytes(m_folder / name, testing_support::EncodePng(image)));
  }

  testing_support::ScratchFolder m_folder;
  HWND m_hWnd = nullptr;
  SkinUI::CWindowHostUI m_host;
};

}  // namespace render_testing
