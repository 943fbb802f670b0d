// The duplicates and link-check dialogs opened from the real window: what they change
// is undone and redone whole through the Edit menu.
#include "AppTestSupport.h"
#include "tidy/LoopbackHttpServer.h"

#include "app/KivApp.h"
#include "app/UndoHistory.h"
#include "frame/MainFrame.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "res/Commands.h"
#include "support/DocDump.h"
#include "tidy/LinkCheckDlg.h"
#include "tidy/LinkChecker.h"
#include "tidy/LinkResultsModel.h"
#include "views/LeftView.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>

using namespace KivAppTest;
using KivTest::Dump;

namespace {

class TidyUndo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The link checker keeps its results beside the test's other files.
        m_oldCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", m_env.Path(QStringLiteral("cache")).toLocal8Bit());
        ASSERT_TRUE(m_servers.Listen(41, 1));
        // Two groups of duplicates spread over four folders, some in the middle of
        // their lists; a dead link in three folders. (A file keeps no bookmark in the
        // root that a folder lists as well, and no trash.)
        CKivDoc doc;
        doc.OnNewDocument();
        CFolderNode* news = doc.CreateFolder(&doc.m_root, "Noticias", false);
        CFolderNode* tools = doc.CreateFolder(&doc.m_root, "Herramientas", false);
        CFolderNode* web = doc.CreateFolder(&doc.m_root, "Web", false);
        CFolderNode* archive = doc.CreateFolder(&doc.m_root, "Archivo", false);
        const auto add = [&](const QString& url, const char* name, CFolderNode* folder) {
            uint32_t i = 0;
            EXPECT_TRUE(doc.AddBookmark(url.toStdString().c_str(), name, "", folder, false, &i));
            return i;
        };
        add(QStringLiteral("http://news.example"), "news", news);
        doc.LinkBookmark(archive, add(kHttps, "news-again", tools));
        doc.LinkBookmark(tools, add(QStringLiteral("http://NEWS.example/?utm_source=feed"),
                                    "Ahora news", news));
        add(QStringLiteral("http://zzz.example"), "zzz", news);
        add(QStringLiteral("http://tool.example"), "tool", tools);
        add(QStringLiteral("http://tool.example/"), "a-tool", &doc.m_root);
        add(QStringLiteral("http://old.example"), "old", &doc.m_root);
        add(m_servers.Url(41, "/ok"), "Ok", web);
        add(m_servers.Url(41, "/moved"), "Moved", web);
        const uint32_t gone = add(m_servers.Url(41, "/gone"), "Gone", web);
        doc.LinkBookmark(news, gone);
        doc.LinkBookmark(archive, gone);
        const QString path = m_env.Path(QStringLiteral("tidy.kiv"));
        ASSERT_TRUE(doc.DoSave(path));
        m_app = std::make_unique<CKivApp>();
        ASSERT_TRUE(m_app->InitInstance({path}));
        // Something in the trash already, saved as it stands.
        CKivDoc& opened = m_app->Document();
        ASSERT_EQ(opened.TrashBookmarks({uint32_t(opened.FindUrl("http://old.example"))}), 1u);
        opened.UpdateAllViews(nullptr, HINT_REFRESH);
        ASSERT_TRUE(LetTheLoopTurn());
        ASSERT_TRUE(m_app->Router().Execute(ID_FILE_SAVE));
    }
    void TearDown() override
    {
        m_app.reset();
        if (m_oldCache.isNull())
            qunsetenv("XDG_CACHE_HOME");
        else
            qputenv("XDG_CACHE_HOME", m_oldCache);
    }
    CFolderNode* Child(const char* name)
    {
        CFolderNode* f = m_app->Document().m_root.m_pFirstChild;
        while (f && f->m_strName != name)
            f = f->m_pNext;
        return f;
    }
    // Lets the event loop open the dialog a command left for it and close the step a
    // change in it opened.
    bool LetTheLoopTurn()
    {
        QCoreApplication::processEvents();
        for (int turn = 0; turn < 10 && m_app->Document().StepOpen(); ++turn)
            QCoreApplication::processEvents();
        return !m_app->Document().StepOpen();
    }
    std::string UndoMenuText()
    {
        return m_app->Router().Update(ID_EDIT_UNDO).m_strText.toStdString();
    }
    std::string RedoMenuText()
    {
        return m_app->Router().Update(ID_EDIT_REDO).m_strText.toStdString();
    }

    const QString kHttps = QStringLiteral("https://www.news.example/#top");
    AppEnv m_env;
    CLoopbackHttpServers m_servers;
    QByteArray m_oldCache;
    std::unique_ptr<CKivApp> m_app;
};

TEST_F(TidyUndo, EachActionOfTheTidyDialogsIsAStepThatUndoesAndRedoesWhole)
{
    CKivDoc& doc = m_app->Document();
    CUndoHistory& history = m_app->History();
    CCmdRouter& router = m_app->Router();
    const uint32_t https = uint32_t(doc.FindUrl(kHttps.toStdString()));
    const std::string okUrl = m_servers.Url(41, "/ok").toStdString();
    const std::string movedUrl = m_servers.Url(41, "/moved").toStdString();
    const uint32_t ok = uint32_t(doc.FindUrl(okUrl));
    const uint32_t moved = uint32_t(doc.FindUrl(movedUrl));
    const uint32_t gone = uint32_t(doc.FindUrl(m_servers.Url(41, "/gone").toStdString()));
    std::vector<uint32_t> away;
    for (const char* url : {"http://news.example", "http://NEWS.example/?utm_source=feed",
                            "http://tool.example/"})
        away.push_back(uint32_t(doc.FindUrl(url)));
    ASSERT_EQ(std::count(away.begin(), away.end(), uint32_t(-1)), 0);
    CFolderNode* web = Child("Web");
    ASSERT_NE(web, nullptr);
    ASSERT_TRUE(m_app->GetMainFrame()->GetLeftPane()->SelectFolder(web));
    ASSERT_FALSE(doc.IsModified());
    const size_t before = history.Count();
    // The contents after each step, and what the Edit menu calls the step.
    std::vector<std::string> dumps{Dump(doc)};
    std::vector<std::string> names;

    // Both groups merged in one click of the dialog the Edit menu opens.
    m_env.m_ui->m_messageAnswers = {CUi::IDYES};
    m_env.m_ui->m_dialogScripts.push_back([](QDialog& dialog) {
        auto* tree = dialog.findChild<QTreeView*>();
        EXPECT_EQ(tree->model()->rowCount(), 2);
        tree->selectAll();
        dialog.findChild<QPushButton*>(QStringLiteral("merge"))->click();
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(router.Execute(ID_EDIT_DUPLICATES));
    ASSERT_TRUE(LetTheLoopTurn());
    ASSERT_EQ(m_env.m_ui->m_dialogs.size(), 1u);
    ASSERT_EQ(history.Count(), before + 1);
    EXPECT_EQ(doc.Bookmark(https).m_nRefs, 3); // in every folder its group stood in
    for (uint32_t i : away)
        EXPECT_EQ(doc.Bookmark(i).m_nRefs, 0);
    dumps.push_back(Dump(doc));
    names.push_back("fusionar 3 duplicados");

    // The current folder's links checked; the dead one to the trash, then to the check
    // folder; the permanent redirect followed. The user's pauses between the clicks
    // are turns of the dialog's event loop.
    m_env.m_ui->m_messageAnswers = {CUi::IDYES, CUi::IDYES};
    m_env.m_ui->m_dialogScripts.push_back([&](QDialog& dialog) {
        auto& check = static_cast<CLinkCheckDlg&>(dialog);
        check.findChild<QSpinBox*>(QStringLiteral("maxAge"))->setValue(0);
        QSignalSpy done(&check.Checker(), &CLinkChecker::finished);
        check.findChild<QPushButton*>(QStringLiteral("start"))->click();
        EXPECT_TRUE(done.wait(60000));
        auto* kind = check.findChild<QComboBox*>(QStringLiteral("kind"));
        kind->setCurrentIndex(kind->findData(CLinkResultsFilter::Dead));
        EXPECT_EQ(check.Filter().rowCount(), 1);
        const auto click = [&](const char* button, const char* name) {
            check.findChild<QPushButton*>(QLatin1String(button))->click();
            EXPECT_TRUE(LetTheLoopTurn()) << button;
            dumps.push_back(Dump(doc));
            names.push_back(name);
        };
        click("trashDead", "eliminar 1 marcador");
        click("toCheckFolder", "copiar 1 marcador a Comprobar");
        kind->setCurrentIndex(kind->findData(CLinkResultsFilter::All));
        click("updateRedirects", "actualizar 1 dirección");
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(router.Execute(ID_EDIT_CHECK_LINKS));
    ASSERT_TRUE(LetTheLoopTurn());
    ASSERT_EQ(m_env.m_ui->m_dialogs.size(), 2u);
    ASSERT_EQ(history.Count(), before + 4);
    ASSERT_EQ(dumps.size(), 5u);
    EXPECT_EQ(doc.Bookmark(gone).m_nRefs, 0);
    EXPECT_EQ(doc.m_check.m_aBookmarks, std::vector<uint32_t>{gone});
    EXPECT_EQ(doc.Bookmark(moved).m_strUrl, okUrl);

    // Back one step at a time to the saved contents, then forward again.
    for (size_t k = names.size(); k-- > 0;) {
        EXPECT_EQ(UndoMenuText(), "&Deshacer " + names[k] + "\tCtrl+Z");
        ASSERT_TRUE(router.Execute(ID_EDIT_UNDO));
        EXPECT_EQ(Dump(doc), dumps[k]) << "after undoing " << names[k];
        EXPECT_EQ(RedoMenuText(), "&Rehacer " + names[k] + "\tCtrl+Y");
    }
    EXPECT_FALSE(doc.IsModified());
    // Both addresses are found where they were again.
    EXPECT_EQ(doc.FindUrl(okUrl), int32_t(ok));
    EXPECT_EQ(doc.FindUrl(movedUrl), int32_t(moved));
    for (size_t k = 0; k < names.size(); ++k) {
        ASSERT_TRUE(router.Execute(ID_EDIT_REDO));
        EXPECT_EQ(Dump(doc), dumps[k + 1]) << "after redoing " << names[k];
    }
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(router.Update(ID_EDIT_REDO).m_bEnabled);
    EXPECT_EQ(history.Count(), before + 4);
    EXPECT_EQ(doc.FindUrl(movedUrl), -1);
}

} // namespace
