// The host's control tree: attaching a root, finding controls by name and by point, renaming, and
// the host owning (and destroying) its root.

#include "HostPaintFixture.h"

namespace host_paint_testing {
namespace {

TEST_F(HostPaintTest, NamedControlsAreFoundByNameOnceAttached) {
  RecordingRoot* pRoot = new RecordingRoot(&m_journal);
  pRoot->SetName(L"root");
  ASSERT_TRUE(m_host.AttachRoot(pRoot));
  EXPECT_EQ(m_host.GetRoot(), pRoot);
  EXPECT_EQ(pRoot->GetHost(), &m_host);
  EXPECT_EQ(m_host.FindControlByName(L"root"), pRoot);
  EXPECT_EQ(m_host.FindControlByName(L"other"), nullptr);

  // A detached subtree joins the index when attached under a parent.
  RecordingRoot other(&m_journal);
  other.SetName(L"other");
  ASSERT_TRUE(m_host.AttachSubtree(&other, pRoot));
  EXPECT_EQ(other.GetParent(), pRoot);
  EXPECT_EQ(m_host.FindControlByName(L"other"), &other);
  EXPECT_FALSE(m_host.AttachSubtree(nullptr, pRoot));
}

TEST_F(HostPaintTest, RenamingMovesTheIndexEntryAndRefusesATakenName) {
  RecordingRoot* pRoot = new RecordingRoot(&m_journal);
  pRoot->SetName(L"root");
  m_host.AttachRoot(pRoot);
  RecordingRoot other(&m_journal);
  other.SetName(L"taken");
  m_host.AttachSubtree(&other, pRoot);

  EXPECT_FALSE(m_host.RenameControl(pRoot, L"taken"));
  EXPECT_EQ(pRoot->GetName(), L"root");
  EXPECT_EQ(m_host.FindControlByName(L"taken"), &other);

  EXPECT_TRUE(m_host.RenameControl(pRoot, L"main"));
  EXPECT_EQ(pRoot->GetName(), L"main");
  EXPECT_EQ(m_host.FindControlByName(L"main"), pRoot);
  EXPECT_EQ(m_host.FindControlByName(L"root"), nullptr);
  EXPECT_TRUE(m_host.RenameControl(pRoot, L"main")) << "the same name is no change";
  EXPECT_FALSE(m_host.RenameControl(pRoot, L""));
}

TEST_F(HostPaintTest, AControlRenamedOnItsOwnIsFoundByItsNewNameOnlyAndForgottenWhenDestroyed) {
  RecordingRoot* pRoot = new RecordingRoot(&m_journal);
  m_host.AttachRoot(pRoot);
  RecordingRoot taken(&m_journal);
  taken.SetName(L"taken");
  m_host.AttachSubtree(&taken, pRoot);
  RecordingRoot* pChild = new RecordingRoot(&m_journal);
  pChild->SetName(L"old");
  m_host.AttachSubtree(pChild, pRoot);

  pChild->ApplyAttribute(L"name", L"new");
  EXPECT_EQ(m_host.FindControlByName(L"old"), nullptr);
  EXPECT_EQ(m_host.FindControlByName(L"new"), pChild);
  pChild->SetName(L"taken");  // the control holds the name; the index keeps the first holder
  EXPECT_EQ(m_host.FindControlByName(L"taken"), &taken);
  EXPECT_EQ(m_host.FindControlByName(L"new"), nullptr);

  delete pChild;
  for (const wchar_t* name : {L"old", L"new"}) {
    EXPECT_EQ(m_host.FindControlByName(name), nullptr) << name;
  }
  EXPECT_EQ(m_host.FindControlByName(L"taken"), &taken);
}

TEST_F(HostPaintTest, ControlAtPointIsTheVisibleMouseEnabledRoot) {
  RecordingRoot* pRoot = AttachRecordingRoot();
  PaintPending();
  EXPECT_EQ(m_host.FindControlAt(POINT{10, 10}), pRoot);
  EXPECT_EQ(m_host.FindControlAt(POINT{kWidth + 5, 10}), nullptr);
  pRoot->SetMouseEnabled(false);
  EXPECT_EQ(m_host.FindControlAt(POINT{10, 10}), nullptr);
}

TEST_F(HostPaintTest, HostDestroysItsRootAndForgetsItsName) {
  {
    SkinUI::CWindowHostUI host;
    host.AttachWindow(m_hWnd);
    RecordingRoot* pRoot = new RecordingRoot(&m_journal);
    pRoot->SetName(L"gone");
    host.AttachRoot(pRoot);
    EXPECT_EQ(m_journal.destroyed, 0);
  }
  EXPECT_EQ(m_journal.destroyed, 1);

  RecordingRoot* pFirst = new RecordingRoot(&m_journal);
  pFirst->SetName(L"first");
  m_host.AttachRoot(pFirst);
  m_host.AttachRoot(new RecordingRoot(&m_journal));
  EXPECT_EQ(m_journal.destroyed, 1) << "the replaced root waits for the queued message";
  PumpFor(50);
  EXPECT_EQ(m_journal.destroyed, 2);
  EXPECT_EQ(m_host.FindControlByName(L"first"), nullptr);
}

TEST_F(HostPaintTest, PostPaintControlsPaintAfterTheTree) {
  struct PostPainter : RecordingRoot {
    using RecordingRoot::RecordingRoot;
    void PostPaint(HDC hDC, const RECT& rcPaint) override {
      SkinUI::CSkinRenderer::FillColor(hDC, RECT{0, 0, 10, 10}, 0xFFFFFF00);
      ++nPostPaints;
      rcLast = rcPaint;
    }
    int nPostPaints = 0;
    RECT rcLast = {0, 0, 0, 0};
  };
  RecordingRoot* pRoot = AttachRecordingRoot(0xFF000080);
  PostPainter overlay(&m_journal);
  EXPECT_TRUE(m_host.RegisterPostPaint(&overlay));
  PaintPending();
  EXPECT_EQ(overlay.nPostPaints, 1);
  EXPECT_TRUE(SameRect(overlay.rcLast, pRoot->GetPosition()));
  EXPECT_EQ(ScreenRgbAt(5, 5), 0xFFFF00u);
  EXPECT_EQ(ScreenRgbAt(50, 50), 0x000080u);

  EXPECT_TRUE(m_host.UnregisterPostPaint(&overlay));
  EXPECT_FALSE(m_host.UnregisterPostPaint(&overlay));
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  PaintPending();
  EXPECT_EQ(overlay.nPostPaints, 1);
  EXPECT_EQ(ScreenRgbAt(5, 5), 0x000080u);
}

}  // namespace
}  // namespace host_paint_testing
