#include "LoopbackHttpServer.h"
#include "TidyTestSupport.h"
#include "framework/ScriptedUi.h"
#include "tidy/DupesDlg.h"
#include "tidy/DupesModel.h"
#include "tidy/LinkCheckDlg.h"
#include "tidy/LinkChecker.h"
#include "tidy/LinkResultsModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

using TidyTest::AddEntry;
using TidyTest::Lists;

namespace {

struct ToolRun
{
    int status = -1;
    QByteArray out;
};

ToolRun Kivtool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KIV_BIN_DIR "/kivtool"), args);
    ToolRun r;
    if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit)
        r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    return r;
}

TEST(DupesDialog, MergesTheSelectedGroupAfterAskingAndTheIdenticalOnesAtOnce)
{
    CKivDoc doc;
    doc.OnNewDocument();
    CFolderNode* news = doc.CreateFolder(&doc.m_root, "News", false);
    const uint32_t a = AddEntry(doc, "http://x.org/", "A", news);
    const uint32_t b = AddEntry(doc, "https://www.x.org/?fbclid=1", "B", &doc.m_root);
    const uint32_t c = AddEntry(doc, "http://y.org/", "C", news);
    const uint32_t d = AddEntry(doc, "http://y.org/", "D", &doc.m_root);

    CScriptedUi ui;
    CDupesDlg dlg(doc);
    ASSERT_EQ(dlg.Model().GroupCount(), 2);
    auto* tree = dlg.findChild<QTreeView*>(QStringLiteral("dupesTree"));
    ASSERT_TRUE(tree);
    const int xGroup = dlg.Model().Group(0).key == "http://x.org/" ? 0 : 1;
    tree->setCurrentIndex(dlg.Model().index(xGroup, 0));

    ui.m_messageAnswers = {CUi::IDNO};
    dlg.findChild<QPushButton*>(QStringLiteral("merge"))->click();
    EXPECT_EQ(dlg.Model().GroupCount(), 2); // declined: nothing changed
    EXPECT_FALSE(Lists(&doc.m_trash, a) || Lists(&doc.m_trash, b));

    ui.m_messageAnswers = {CUi::IDYES};
    dlg.findChild<QPushButton*>(QStringLiteral("merge"))->click();
    ASSERT_EQ(ui.m_messages.size(), 2u);
    EXPECT_EQ(dlg.Model().GroupCount(), 1);
    // The one with a single placement each: the https one is kept and takes News.
    EXPECT_TRUE(Lists(news, b));
    EXPECT_TRUE(Lists(&doc.m_trash, a));

    dlg.findChild<QPushButton*>(QStringLiteral("mergeExact"))->click();
    EXPECT_EQ(dlg.Model().GroupCount(), 0);
    EXPECT_TRUE(Lists(&doc.m_root, c) && Lists(news, c));
    EXPECT_TRUE(Lists(&doc.m_trash, d));
    EXPECT_TRUE(dlg.Changed());

    // Loosening or tightening the key groups again.
    dlg.findChild<QCheckBox*>(QStringLiteral("httpIsHttps"))->setChecked(false);
    EXPECT_EQ(dlg.Model().GroupCount(), 0);
}

TEST(LinkCheckDialog, ChecksTheCurrentFolderAndActsOnTheResults)
{
    CLoopbackHttpServers servers;
    ASSERT_TRUE(servers.Listen(21, 1));
    CKivDoc doc;
    doc.OnNewDocument();
    CFolderNode* web = doc.CreateFolder(&doc.m_root, "Web", false);
    CFolderNode* sub = doc.CreateFolder(web, "Sub", false);
    const uint32_t ok = AddEntry(doc, servers.Url(21, "/ok").toStdString(), "Ok", web);
    const uint32_t gone = AddEntry(doc, servers.Url(21, "/gone").toStdString(), "Gone", sub);
    doc.LinkBookmark(&doc.m_root, gone);
    const uint32_t moved = AddEntry(doc, servers.Url(21, "/moved").toStdString(), "Moved", sub);
    // A site may answer with a permanent move to a local file: no browser follows it
    // there, and the bookmark must not be pointed at it.
    const uint32_t toFile = AddEntry(doc, servers.Url(21, "/tofile").toStdString(), "ToFile", sub);
    const uint32_t outside
        = AddEntry(doc, servers.Url(21, "/error").toStdString(), "Out", &doc.m_root);
    doc.SetModifiedFlag(false);

    CScriptedUi ui;
    CLinkCheckDlg dlg(doc, web);
    std::vector<std::string> opened;
    dlg.m_openUrl = [&](const std::string& url) { opened.push_back(url); };
    EXPECT_TRUE(dlg.findChild<QRadioButton*>(QStringLiteral("scopeFolder"))->isChecked());
    dlg.findChild<QSpinBox*>(QStringLiteral("maxAge"))->setValue(0);
    EXPECT_EQ(servers.Requests(), 0); // nothing is asked before the user starts
    // The progress bar shows as one before the start, not as an empty box.
    EXPECT_EQ(dlg.findChild<QProgressBar*>(QStringLiteral("progress"))->text(),
              QStringLiteral("0%"));

    QSignalSpy done(&dlg.Checker(), &CLinkChecker::finished);
    dlg.findChild<QPushButton*>(QStringLiteral("start"))->click();
    // The check runs on the event loop: the dialog is back at once.
    EXPECT_TRUE(dlg.Checker().IsRunning());
    ASSERT_TRUE(done.wait(60000));
    EXPECT_EQ(dlg.Results().rowCount(), 4); // the folder with its subfolder only
    const int asked = servers.Requests();

    // Return in the filter goes to the results, and on a result opens it: neither
    // starts the check over, which would throw its results away.
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    auto* text = dlg.findChild<QLineEdit*>(QStringLiteral("filterText"));
    auto* table = dlg.findChild<QTableView*>(QStringLiteral("results"));
    text->setFocus();
    QTest::keyClicks(text, QStringLiteral("Gone"));
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_FALSE(dlg.Checker().IsRunning());
    EXPECT_EQ(dlg.focusWidget(), table);
    ASSERT_EQ(dlg.Filter().rowCount(), 1);
    table->selectRow(0);
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_FALSE(dlg.Checker().IsRunning());
    EXPECT_EQ(servers.Requests(), asked);
    EXPECT_EQ(dlg.Results().rowCount(), 4);
    EXPECT_EQ(opened, std::vector<std::string>{servers.Url(21, "/gone").toStdString()});
    table->clearSelection();
    text->clear();
    dlg.hide();

    auto* kind = dlg.findChild<QComboBox*>(QStringLiteral("kind"));
    kind->setCurrentIndex(kind->findData(CLinkResultsFilter::Dead));
    ASSERT_EQ(dlg.Filter().rowCount(), 1);
    ui.m_messageAnswers = {CUi::IDYES};
    dlg.findChild<QPushButton*>(QStringLiteral("trashDead"))->click();
    EXPECT_TRUE(Lists(&doc.m_trash, gone));
    EXPECT_FALSE(Lists(sub, gone) || Lists(&doc.m_root, gone));
    EXPECT_TRUE(Lists(&doc.m_root, outside)); // not in the checked folder
    EXPECT_TRUE(doc.IsModified());

    kind->setCurrentIndex(kind->findData(CLinkResultsFilter::All));
    ui.m_messageAnswers = {CUi::IDYES};
    dlg.findChild<QPushButton*>(QStringLiteral("updateRedirects"))->click();
    EXPECT_EQ(doc.Bookmark(moved).m_strUrl, servers.Url(21, "/ok").toStdString());
    EXPECT_EQ(doc.Bookmark(ok).m_strUrl, servers.Url(21, "/ok").toStdString());
    EXPECT_EQ(doc.Bookmark(toFile).m_strUrl, servers.Url(21, "/tofile").toStdString());
    EXPECT_EQ(servers.Requests(), 5); // HEAD each, and the web redirect's target
}

TEST(KivtoolTidy, DupesAndCheckLinks)
{
    CLoopbackHttpServers servers;
    ASSERT_TRUE(servers.Listen(31, 1));
    QTemporaryDir dir;
    const QString doc = dir.filePath(QStringLiteral("c.kiv"));
    const QString ok = servers.Url(31, "/ok"), gone = servers.Url(31, "/gone");
    ASSERT_EQ(Kivtool({"add", doc, ok, "Ok", "--folder", "A"}).status, 0);
    ASSERT_EQ(Kivtool({"add", doc, ok + "#frag", "Ok again", "--folder", "B"}).status, 0);
    ASSERT_EQ(Kivtool({"add", doc, gone, "Gone", "--folder", "B/C"}).status, 0);

    const ToolRun dupes = Kivtool({"dupes", doc, "--json"});
    ASSERT_EQ(dupes.status, 0);
    const QJsonArray groups = QJsonDocument::fromJson(dupes.out).array();
    ASSERT_EQ(groups.size(), 1);
    const QJsonArray members = groups[0].toObject()[QStringLiteral("members")].toArray();
    ASSERT_EQ(members.size(), 2);
    EXPECT_EQ(members[1].toObject()[QStringLiteral("folders")].toArray()[0].toString(),
              QStringLiteral("B"));

    // Only the folder B/C: one dead link.
    const ToolRun part
        = Kivtool({"check-links", doc, "--json", "--folder", "B/C", "--max-age", "0"});
    EXPECT_EQ(part.status, 1);
    const QJsonArray links = QJsonDocument::fromJson(part.out).array();
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0].toObject()[QStringLiteral("status")].toString(), QStringLiteral("gone"));
    EXPECT_EQ(links[0].toObject()[QStringLiteral("http")].toInt(), 404);
    EXPECT_EQ(Kivtool({"check-links", doc, "--folder", "A", "--max-age", "0"}).status, 0);
    EXPECT_EQ(Kivtool({"check-links", doc, "--folder", "Nowhere"}).status, 2);

    ASSERT_EQ(Kivtool({"dupes", doc, "--merge"}).status, 0);
    EXPECT_EQ(QJsonDocument::fromJson(Kivtool({"dupes", doc, "--json"}).out).array().size(), 0);
    const ToolRun info = Kivtool({"info", doc});
    EXPECT_NE(info.out.indexOf("\"bookmarks\":2"), -1) << info.out.toStdString();
}

} // namespace
