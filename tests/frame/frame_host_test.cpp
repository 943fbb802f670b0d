// The main window made by a host other than the application. This binary links the
// frame's library without the application's, so a call from the frame up into the
// application fails to link; what the window needs reaches it through its host.
#include "res/Commands.h"
#include "frame/FrameHost.h"
#include "frame/MainFrame.h"
#include "framework/CmdTarget.h"
#include "framework/Profile.h"
#include "model/KivDoc.h"
#include "views/ViewTestApp.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

class CTestHost : public CFrameHost
{
public:
    CProfile& Profile() override { return *KivTest::Settings().profile; }
    CCmdRouter& Router() override { return m_router; }
    CRecentFileList& RecentFiles() override { return m_recent; }
    CViewSettings& ViewSettings() override { return KivTest::Settings(); }
    void OpenUrl(const std::string& url, bool) override { m_urls.push_back(url); }
    bool OpenDocumentFile(const QString& path) override
    {
        m_opened << path;
        return true;
    }
    bool SaveModified() override
    {
        ++m_nAsked;
        return m_bMayClose;
    }
    void WinHelp() override { ++m_nHelp; }

    CCmdRouter m_router;
    CRecentFileList m_recent;
    std::vector<std::string> m_urls;
    QStringList m_opened;
    int m_nAsked = 0;
    int m_nHelp = 0;
    bool m_bMayClose = false;
};

TEST(FrameHost, TheWindowReachesTheProgramOnlyThroughItsHost)
{
    KivTest::EnsureApp();
    CTestHost host;
    CKivDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    CMainFrame frame(host, doc);
    ASSERT_TRUE(frame.Create());
    host.m_router.m_pFrame = &frame;
    frame.show();

    // Help from the menus goes to the host.
    EXPECT_TRUE(host.m_router.Execute(ID_HELP_INDEX));
    EXPECT_EQ(host.m_nHelp, 1);

    // Files dropped on the window: only collections are opened, by the host.
    frame.OpenDroppedFiles({QStringLiteral("/x/a.kiv"), QStringLiteral("/x/b.txt")});
    EXPECT_EQ(host.m_opened, QStringList{QStringLiteral("/x/a.kiv")});

    // Closing asks the host whether unsaved work may go.
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(host.m_nAsked, 1);
    host.m_bMayClose = true;
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(host.m_nAsked, 2);
    host.m_router.m_pFrame = nullptr;
}

}  // namespace
