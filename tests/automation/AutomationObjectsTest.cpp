// The automation objects called directly (no bus traffic): indexing, null objects,
// reachability, stale objects after edits, registration rules, the service file.
#include "AutomationTestUtil.h"

#include "integration/AutomationServer.h"
#include "integration/AutomationService.h"

#include <QDBusConnection>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {
QDBusConnection NoBus()
{
    EnsureApp();
    return QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/kiv-test-bus"),
                                         QStringLiteral("kiv-no-bus"));
}

class AutomationObjects : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server = std::make_unique<CAutomationServer>(doc, NoBus());
        doc.SetServer(server.get());
        doc.OnNewDocument();
    }
    void TearDown() override { doc.SetServer(nullptr); }

    CAutomationHub& Hub() { return server->Hub(); }
    CKivItems* Items(const QDBusObjectPath& p)
    {
        return qobject_cast<CKivItems*>(Hub().ObjectAt(p.path()));
    }
    CKivItem* Item(const QDBusObjectPath& p) { return qobject_cast<CKivItem*>(Hub().ObjectAt(p.path())); }
    CKivItems* Root() { return Items(Hub().DocObject().GetItems()); }

    CServedKivDoc doc;
    std::unique_ptr<CAutomationServer> server;
};

TEST_F(AutomationObjects, EmptyDocumentHasNoItems)
{
    CKivItems* root = Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetCount(), 0);
    EXPECT_EQ(root->GetItem(0).path(), "/");
}

TEST_F(AutomationObjects, BookmarksComeFirstThenSubfolders)
{
    FillSample(doc);
    CKivItems* root = Root();
    ASSERT_EQ(root->GetCount(), 3);
    const char* names[] = {"Alpha", "Beta", "Sub"};
    const short folders[] = {0, 0, 1};
    for (int i = 0; i < 3; ++i) {
        CKivItem* item = Item(root->GetItem(i));
        ASSERT_NE(item, nullptr) << i;
        EXPECT_EQ(item->GetName(), names[i]);
        EXPECT_EQ(item->IsFolder(), folders[i]);
    }
    EXPECT_EQ(root->GetItem(3).path(), "/");
    EXPECT_EQ(root->GetItem(-1).path(), "/");
    // Every call hands out an object of its own.
    EXPECT_NE(root->GetItem(0).path(), root->GetItem(0).path());

    CKivItem* sub = Item(root->GetItem(2));
    EXPECT_EQ(sub->GetUrl(), "");
    EXPECT_EQ(sub->GetComment(), "");
    CKivItem* alpha = Item(root->GetItem(0));
    EXPECT_EQ(Items(alpha->GetItems())->GetCount(), 0);
    EXPECT_EQ(alpha->GetUrl(), "http://alpha.example/");
    EXPECT_EQ(alpha->GetComment(), "top entry");

    // The same bookmark listed in two folders reads the same through both.
    CKivItems* subItems = Items(sub->GetItems());
    ASSERT_EQ(subItems->GetCount(), 2);
    CKivItem* gamma = Item(subItems->GetItem(0));
    CKivItem* deep = Item(subItems->GetItem(1));
    EXPECT_EQ(deep->GetName(), "Deep");
    CKivItems* deepItems = Items(deep->GetItems());
    ASSERT_EQ(deepItems->GetCount(), 2);
    CKivItem* gammaAgain = Item(deepItems->GetItem(1));
    EXPECT_EQ(gammaAgain->GetName(), "Gamma");
    EXPECT_EQ(gammaAgain->GetUrl(), gamma->GetUrl());
    EXPECT_EQ(gammaAgain->GetComment(), gamma->GetComment());
}

TEST_F(AutomationObjects, TrashAndCheckAreOutOfReach)
{
    FillSample(doc);
    doc.AddBookmark("http://trash.example/", "Trashed", "", &doc.m_trash, false);
    doc.CreateFolder(&doc.m_trash, "Old", false);
    doc.AddBookmark("http://check.example/", "Checked", "", &doc.m_check, true);
    CKivItems* root = Root();
    EXPECT_EQ(root->GetCount(), 3);
    for (int i = 0; i < root->GetCount(); ++i) {
        EXPECT_NE(Item(root->GetItem(i))->GetName(), "Trashed");
        EXPECT_NE(Item(root->GetItem(i))->GetName(), "Old");
    }
}

// Objects held across an edit: either they still stand for what they stood for,
// or they answer like empty ones; never something else, never freed memory.
struct StaleCase
{
    const char* name;
    std::function<void(CServedKivDoc&)> edit;
    bool folderSurvives;
    bool bookmarkSurvives;
};

class StaleObjects : public AutomationObjects, public ::testing::WithParamInterface<StaleCase>
{
};

CFolderNode* Child(CFolderNode* parent, const char* name)
{
    for (CFolderNode* c = parent->m_pFirstChild; c; c = c->m_pNext)
        if (c->m_strName == name)
            return c;
    return nullptr;
}

void DeleteTopFolder(CServedKivDoc& doc, const char* name)
{
    CFolderNode* f = Child(&doc.m_root, name);
    doc.TrashChainBookmarks(f->m_pFirstChild);
    doc.DeleteFolderChain(f->m_pFirstChild);
    doc.TrashFolderBookmarks(f);
    doc.DeleteFolder(f);
}

TEST_P(StaleObjects, HeldObjectsStayTrueOrTurnEmpty)
{
    FillSample(doc);
    CKivItems* root = Root();
    CKivItem* sub = Item(root->GetItem(2));
    CKivItems* subItems = Items(sub->GetItems());
    CKivItem* gamma = Item(subItems->GetItem(0));
    CKivItem* deep = Item(subItems->GetItem(1));
    CKivItems* deepItems = Items(deep->GetItems());
    ASSERT_EQ(gamma->GetName(), "Gamma");
    ASSERT_EQ(deepItems->GetCount(), 2);

    GetParam().edit(doc);

    if (GetParam().folderSurvives) {
        EXPECT_EQ(sub->GetName(), "Sub");
        EXPECT_EQ(deep->GetName(), "Deep");
        EXPECT_EQ(deepItems->GetCount(), 2);
        EXPECT_EQ(Item(deepItems->GetItem(0))->GetName(), "Delta");
    } else {
        EXPECT_EQ(sub->GetName(), "");
        EXPECT_EQ(sub->IsFolder(), 1);
        EXPECT_EQ(subItems->GetCount(), 0);
        EXPECT_EQ(subItems->GetItem(0).path(), "/");
        EXPECT_EQ(deepItems->GetCount(), 0);
        EXPECT_EQ(Items(deep->GetItems())->GetCount(), 0);
    }
    if (GetParam().bookmarkSurvives) {
        EXPECT_EQ(gamma->GetName(), "Gamma");
        EXPECT_EQ(gamma->GetUrl(), "http://gamma.example/");
    } else {
        EXPECT_EQ(gamma->GetName(), "");
        EXPECT_EQ(gamma->GetUrl(), "");
        EXPECT_EQ(gamma->GetComment(), "");
    }
    // The top level always lists the live content.
    int expected = static_cast<int>(doc.m_root.m_aBookmarks.size());
    for (CFolderNode* c = doc.m_root.m_pFirstChild; c; c = c->m_pNext)
        ++expected;
    EXPECT_EQ(root->GetCount(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, StaleObjects,
    ::testing::Values(
        StaleCase{"DeleteFolder",
                  [](CServedKivDoc& doc) {
                      DeleteTopFolder(doc, "Sub");
                      doc.UpdateAllViews(nullptr, HINT_REFRESH);
                  },
                  false, true},
        // A new folder may land on the freed one's address: the old objects must not
        // start answering for it.
        StaleCase{"DeleteThenRecreate",
                  [](CServedKivDoc& doc) {
                      DeleteTopFolder(doc, "Sub");
                      doc.UpdateAllViews(nullptr, HINT_REFRESH);
                      for (int i = 0; i < 8; ++i)
                          doc.CreateFolder(doc.CreateFolder(&doc.m_root, "Sub", true), "Deep",
                                           true);
                      doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &doc.m_root);
                  },
                  false, true},
        // The same within one edit, before any update hint lets the objects look:
        // the old folder is emptied and unlinked, and a new folder is built in its
        // very place, so the newcomer has the old address whatever the allocator does.
        StaleCase{"DeleteThenRecreateWithoutAHint",
                  [](CServedKivDoc& doc) {
                      CFolderNode* old = Child(&doc.m_root, "Sub");
                      doc.TrashChainBookmarks(old->m_pFirstChild);
                      doc.DeleteFolderChain(old->m_pFirstChild);
                      doc.TrashFolderBookmarks(old);
                      while (!old->m_aBookmarks.empty())
                          doc.UnlinkBookmark(old, old->m_aBookmarks.back());
                      std::unique_ptr<CFolderNode> owned = doc.DetachFolder(old);
                      std::destroy_at(owned.get());
                      CFolderNode* again = std::construct_at(owned.get(), std::string("Sub"));
                      doc.InsertFolder(&doc.m_root, std::move(owned));
                      doc.CreateFolder(again, "Deep", true);
                      ASSERT_EQ(Child(&doc.m_root, "Sub"), old);
                      doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &doc.m_root);
                  },
                  false, true},
        // Siblings before it shift its chain position: it is found again.
        StaleCase{"SiblingInserted",
                  [](CServedKivDoc& doc) {
                      doc.CreateFolder(&doc.m_root, "Aaa", false);
                      doc.CreateFolder(Child(&doc.m_root, "Sub"), "Ccc", false);
                  },
                  true, true},
        StaleCase{"FolderMovedDeeper",
                  [](CServedKivDoc& doc) {
                      CFolderNode* other = doc.CreateFolder(&doc.m_root, "Other", false);
                      CFolderNode* sub = Child(&doc.m_root, "Sub");
                      doc.InsertFolder(other, doc.DetachFolder(sub));
                      doc.UpdateAllViews(nullptr, HINT_REFRESH);
                  },
                  true, true},
        StaleCase{"FolderMovedToTrash",
                  [](CServedKivDoc& doc) {
                      CFolderNode* sub = Child(&doc.m_root, "Sub");
                      doc.InsertFolder(&doc.m_trash, doc.DetachFolder(sub));
                  },
                  false, true},
        StaleCase{"NewDocument",
                  [](CServedKivDoc& doc) {
                      doc.OnNewDocument();
                      FillSample(doc);
                  },
                  false, false},
        StaleCase{"OpenAnotherFile",
                  [](CServedKivDoc& doc) {
                      QTemporaryDir dir;
                      const QString path = dir.filePath(QStringLiteral("other.kiv"));
                      ASSERT_TRUE(SaveSample(path));
                      // Same shape, freshly allocated: old objects must not follow.
                      ASSERT_TRUE(doc.OnOpenDocument(path));
                  },
                  false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A client's Open makes the document the opened file, so the user's next save goes
// back to that file and never over the one shown before; unsaved changes are never
// dropped by a client.
TEST_F(AutomationObjects, OpenMakesTheDocumentTheOpenedFileAndKeepsUnsavedChanges)
{
    QTemporaryDir dir;
    const QString mine = dir.filePath(QStringLiteral("mine.kiv"));
    const QString other = dir.filePath(QStringLiteral("other.kiv"));
    ASSERT_TRUE(SaveSample(other));
    doc.OnNewDocument();
    doc.CreateFolder(&doc.m_root, "Unsaved", false);
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.DoSave(mine));
    doc.CreateFolder(&doc.m_root, "Edited", false);
    doc.SetModifiedFlag(true);

    EXPECT_EQ(Hub().DocObject().Open(other), 0);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), QFileInfo(mine).absoluteFilePath());
    EXPECT_EQ(Root()->GetCount(), 2); // "Edited" and "Unsaved", still there

    doc.SetModifiedFlag(false); // as after the user saved or discarded them
    EXPECT_EQ(Hub().DocObject().Open(other), 1);
    EXPECT_EQ(doc.GetPathName(), QFileInfo(other).absoluteFilePath());
    EXPECT_EQ(doc.GetTitle(), "other.kiv");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Root()->GetCount(), 3);
    doc.CreateFolder(&doc.m_root, "Later", false);
    ASSERT_TRUE(doc.DoSave(doc.GetPathName()));
    CServedKivDoc reread;
    ASSERT_TRUE(reread.OnOpenDocument(other));
    EXPECT_NE(Child(&reread.m_root, "Later"), nullptr);
    CServedKivDoc untouched;
    ASSERT_TRUE(untouched.OnOpenDocument(mine));
    EXPECT_EQ(Child(&untouched.m_root, "Later"), nullptr);
    EXPECT_NE(Child(&untouched.m_root, "Unsaved"), nullptr);

    // A missing file leaves everything as it was.
    EXPECT_EQ(Hub().DocObject().Open(dir.filePath(QStringLiteral("missing.kiv"))), 0);
    EXPECT_EQ(doc.GetPathName(), QFileInfo(other).absoluteFilePath());
    EXPECT_EQ(Root()->GetCount(), 4);
}

TEST_F(AutomationObjects, NoSessionBusMeansNoRegistrationAndNoMessage)
{
    QStringList messages;
    server->SetMessageSink([&](const QString& text) { messages << text; });
    doc.OnNewDocument();
    EXPECT_EQ(doc.m_dwRegister, 0u);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(AutomationObjects, NoRegistrationWhileNotUnderUserControl)
{
    QStringList messages;
    server->SetMessageSink([&](const QString& text) { messages << text; });
    server->SetUserControl(false);
    doc.OnNewDocument();
    EXPECT_EQ(doc.m_dwRegister, 0u);
    EXPECT_TRUE(messages.isEmpty());
}

TEST(AutomationService, UserServiceFileIsWrittenWhenMissingOrDifferent)
{
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit());
    const QString path = KivAutomation::UserServiceFilePath();
    EXPECT_EQ(path, dir.path() + "/dbus-1/services/org.halvane.Kiv.Application.service");
    EXPECT_EQ(KivAutomation::WriteUserServiceFile("/opt/kiv/bin/kiv"),
              KivAutomation::ServiceFileResult::Written);
    EXPECT_EQ(KivAutomation::WriteUserServiceFile("/opt/kiv/bin/kiv"),
              KivAutomation::ServiceFileResult::Unchanged);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[D-BUS Service]\nName=org.halvane.Kiv.Application\n"
                              "Exec=/opt/kiv/bin/kiv -Automation\n");
    file.close();
    EXPECT_EQ(KivAutomation::WriteUserServiceFile("/home/a b/it's/kiv"),
              KivAutomation::ServiceFileResult::Written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Exec='/home/a b/it'\\''s/kiv' -Automation\n"));
    qunsetenv("XDG_DATA_HOME");
}

TEST(AutomationService, LaunchFlags)
{
    const struct
    {
        const char* arg;
        bool flag;
    } rows[] = {{"-Automation", true}, {"/Automation", true}, {"-embedding", true},
                {"/EMBEDDING", true},   {"Automation", false}, {"-Automat", false},
                {"--Automation", false}, {"file.kiv", false},  {"-", false}};
    for (const auto& row : rows)
        EXPECT_EQ(KivAutomation::IsAutomationFlag(QString::fromLatin1(row.arg)), row.flag) << row.arg;
}

}  // namespace
