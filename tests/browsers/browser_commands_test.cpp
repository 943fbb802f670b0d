// Archivo > Importar > Desde Firefox / Desde Chromium/Chrome / XBEL and Exportar >
// XBEL, run from the window's commands over profiles in a home folder of the test's
// own, with the profile choice and the file dialogs answered by a scripted CUi.
#include "BrowserFixtures.h"
#include "app/AppTestSupport.h"
#include "formatdialogs/FormatDialogsSupport.h"
#include "formats/FormatsTestSupport.h"

#include "res/Commands.h"
#include "app/KivApp.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "res/Strings.h"

#include <QDialog>
#include <QDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace BrowserFixtures;
using FormatDialogsTest::Click;
using FormatDialogsTest::FakeHome;
using FormatDialogsTest::HintRecorder;
using FormatsTest::TreeText;
using FormatsTest::WriteAll;
using KivAppTest::AppEnv;

namespace {

class BrowserCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.IsValid());
        m_app = std::make_unique<CKivApp>();
        ASSERT_TRUE(m_app->InitInstance({m_env.WriteSample()}));
        m_hints = std::make_unique<HintRecorder>(Doc());
    }
    void TearDown() override { m_hints.reset(); }

    CKivDoc& Doc() { return m_app->Document(); }
    CScriptedUi& Ui() { return *m_env.m_ui; }
    bool Run(unsigned id) { return m_app->Router().Execute(id); }

    void FirefoxProfile(const QString& dir, const std::string& url)
    {
        PlacesRoots roots;
        roots.toolbar.children.push_back(Bookmark("From " + dir.toStdString(), url));
        QDir().mkpath(m_home.Path(".mozilla/firefox/" + dir));
        ASSERT_TRUE(WritePlaces(m_home.Path(".mozilla/firefox/" + dir + "/places.sqlite"), roots));
    }

    AppEnv m_env;
    FakeHome m_home;
    std::unique_ptr<CKivApp> m_app;
    std::unique_ptr<HintRecorder> m_hints;
};

} // namespace

TEST_F(BrowserCommands, SeveralFirefoxProfilesAreOfferedWithTheirBookmarkCounts)
{
    m_home.MakeFile(
        ".mozilla/firefox/profiles.ini",
        "[Profile0]\nName=main\nPath=a.main\nDefault=1\n[Profile1]\nName=work\nPath=b.work\n");
    FirefoxProfile("a.main", "https://main.example/");
    FirefoxProfile("b.work", "https://work.example/");
    const std::string before = TreeText(Doc());

    // Cancel leaves everything as it was.
    Ui().m_dialogScripts.push_back([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "dialog150");
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(Run(ID_IMPORT_FIREFOX));
    EXPECT_EQ(TreeText(Doc()), before);
    EXPECT_TRUE(m_hints->m_hints.empty());

    QStringList rows;
    Ui().m_dialogScripts.push_back([&rows](QDialog& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("list1001"));
        for (int k = 0; list && k < list->topLevelItemCount(); ++k) {
            QStringList cells;
            for (int c = 0; c < list->columnCount(); ++c)
                cells << list->topLevelItem(k)->text(c);
            rows << cells.join('|');
        }
        list->setCurrentItem(list->topLevelItem(1));
        Click(dialog, QStringLiteral("button1"));
        return dialog.result();
    });
    ASSERT_TRUE(Run(ID_IMPORT_FIREFOX));
    EXPECT_TRUE(Ui().m_dialogScripts.empty());
    EXPECT_EQ(rows, (QStringList{"Firefox|main|" + m_home.Path(".mozilla/firefox/a.main") + "|1",
                                 "Firefox|work|" + m_home.Path(".mozilla/firefox/b.work") + "|1"}));
    EXPECT_NE(TreeText(Doc()).find("Bookmarks Toolbar[From b.work<https://work.example/>]"),
              std::string::npos);
    EXPECT_EQ(TreeText(Doc()).find("main.example"), std::string::npos);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(m_hints->m_hints, (std::vector<std::pair<int, CFolderNode*>>{
                                    {HINT_SYNC_FOLDER, &Doc().m_root}, {HINT_REFRESH, nullptr}}));
}

TEST_F(BrowserCommands, OneProfileIsReadAtOnceAndWithoutAnyTheUserNamesTheFile)
{
    const Node bar = Folder("", {Bookmark("Chromium one", "https://chromium.example/")});
    m_home.MakeFile(".var/app/org.chromium.Chromium/config/chromium/Default/Bookmarks",
                    ChromiumJson(bar, Folder("", {}), Folder("", {})));
    ASSERT_TRUE(Run(ID_IMPORT_CHROMIUM));
    EXPECT_TRUE(Ui().m_dialogs.empty());
    EXPECT_NE(TreeText(Doc()).find("Bookmarks bar[Chromium one<https://chromium.example/>]"),
              std::string::npos);

    // No Firefox profile anywhere: the user is told, then points at a file.
    PlacesRoots roots;
    roots.unfiled.children.push_back(Bookmark("Loose", "https://loose.example/"));
    const QString loose = m_home.Path("copied-places.sqlite");
    ASSERT_TRUE(WritePlaces(loose, roots));
    Ui().m_fileAnswers.push_back(loose);
    ASSERT_TRUE(Run(ID_IMPORT_FIREFOX));
    EXPECT_EQ(Ui().MessageTexts(), QStringList{KivStrings::Load(IDS_NO_PROFILES)});
    EXPECT_NE(TreeText(Doc()).find("Other Bookmarks[Loose<https://loose.example/>]"),
              std::string::npos);
}

TEST_F(BrowserCommands, XbelExportedFromTheMenuImportsBackAsTheSameCollection)
{
    const std::string before = TreeText(Doc());
    const QString path = m_home.Path("export.xbel");
    Ui().m_fileAnswers.push_back(path);
    ASSERT_TRUE(Run(ID_EXPORT_XBEL));
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_TRUE(m_hints->m_hints.empty());

    // The collection's own export adds nothing to it.
    Ui().m_fileAnswers.push_back(path);
    ASSERT_TRUE(Run(ID_IMPORT_XBEL));
    EXPECT_EQ(TreeText(Doc()), before);
    EXPECT_FALSE(Doc().IsModified());

    ASSERT_TRUE(WriteAll(m_home.Path("broken.xbel"), "<xbel><folder><title>x</title>"));
    Ui().m_fileAnswers.push_back(m_home.Path("broken.xbel"));
    ASSERT_TRUE(Run(ID_IMPORT_XBEL));
    EXPECT_EQ(Ui().MessageTexts(), QStringList{KivStrings::Load(IDS_BAD_XBEL)});
    EXPECT_EQ(TreeText(Doc()), before);
    EXPECT_FALSE(Doc().IsModified());
}
