#include "DndTestSupport.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QUrl>

namespace {

using namespace KivDndTest;

// The data a link dragged out of a browser carries, in the three ways browsers put it.
enum class LinkDrag { mozUrl, netscapeUrl, uriListAndText };

std::unique_ptr<QMimeData> BrowserLink(LinkDrag kind, const QString& url, const QString& title)
{
    auto data = std::make_unique<QMimeData>();
    switch (kind) {
    case LinkDrag::mozUrl: {
        const QString text = url + QLatin1Char('\n') + title;
        data->setData(QStringLiteral("text/x-moz-url"),
                      QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
        data->setData(QStringLiteral("text/plain"), url.toUtf8());
        break;
    }
    case LinkDrag::netscapeUrl:
        data->setData(QStringLiteral("_NETSCAPE_URL"), (url + QLatin1Char('\n') + title).toUtf8());
        break;
    case LinkDrag::uriListAndText:
        data->setData(QStringLiteral("text/uri-list"), (url + QStringLiteral("\r\n")).toUtf8());
        data->setData(QStringLiteral("text/plain"), url.toUtf8());
        break;
    }
    return data;
}

// What a file manager carries for dragged files.
std::unique_ptr<QMimeData> FileManagerDrag(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QByteArray list;
    for (const QString& path : paths)
        list += QUrl::fromLocalFile(path).toEncoded() + "\r\n";
    data->setData(QStringLiteral("text/uri-list"), list);
    return data;
}

class ExternalDropTest : public DndFixture
{
protected:
    void SetUp() override
    {
        DndFixture::SetUp();
        const auto record = [this](const QString& path) { m_opened << path; };
        m_tree->DropTarget().SetOpenDocument(record);
        m_list->DropTarget().SetOpenDocument(record);
    }
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QStringList m_opened;
};

class BrowserLinkOnTree : public ExternalDropTest, public ::testing::WithParamInterface<LinkDrag>
{
};

TEST_P(BrowserLinkOnTree, IsAddedToTheFolderAtOnceWithADerivedName)
{
    auto data = BrowserLink(GetParam(), QStringLiteral("http://www.heise.de/news"),
                            QStringLiteral("News"));
    CFolderNode* a = Folder("a");
    ASSERT_TRUE(Enter(m_tree->viewport(), data.get(), PointOf(a)));
    EXPECT_EQ(Move(m_tree->viewport(), data.get(), PointOf(a)), Qt::CopyAction);
    EXPECT_EQ(m_tree->TreeModel().DropHighlight(), ItemOf(a));
    EXPECT_EQ(Drop(m_tree->viewport(), data.get(), PointOf(a)), Qt::CopyAction);
    EXPECT_EQ(Names(a), (QStringList{"a-one", "Heise"}));
    EXPECT_TRUE(m_ui.m_dialogs.empty());
    EXPECT_EQ(m_tree->TreeModel().DropHighlight(), nullptr);
    EXPECT_FALSE(m_timer->IsActive());
}

INSTANTIATE_TEST_SUITE_P(Formats, BrowserLinkOnTree,
                         ::testing::Values(LinkDrag::mozUrl, LinkDrag::netscapeUrl,
                                           LinkDrag::uriListAndText));

TEST_F(ExternalDropTest, ALinkOnTheCurrentFolderShowsInTheList)
{
    auto data = BrowserLink(LinkDrag::mozUrl, QStringLiteral("http://new.example.org"),
                            QStringLiteral("t"));
    DragAndDrop(m_tree->viewport(), data.get(), PointOf(&m_doc.m_root));
    EXPECT_EQ(ListNames(), (QStringList{"Example", "r-alpha", "r-beta"}));
}

TEST_F(ExternalDropTest, ALongLinkIsCutTo256Characters)
{
    const QString url = QStringLiteral("http://long.example/") + QString(400, QLatin1Char('x'));
    auto data = BrowserLink(LinkDrag::uriListAndText, url, QString());
    DragAndDrop(m_tree->viewport(), data.get(), PointOf(Folder("a")));
    ASSERT_EQ(Folder("a")->m_aBookmarks.size(), 2u);
    bool found = false;
    for (uint32_t i : Folder("a")->m_aBookmarks)
        if (m_doc.Bookmark(i).m_strUrl.starts_with("http://long.example/")) {
            found = true;
            EXPECT_EQ(m_doc.Bookmark(i).m_strUrl, url.left(256).toStdString());
        }
    EXPECT_TRUE(found);
}

TEST_F(ExternalDropTest, OnTheListALinkOpensTheItemDialogFirst)
{
    ASSERT_TRUE(m_tree->SelectFolder(Folder("c")));
    auto data = BrowserLink(LinkDrag::netscapeUrl, QStringLiteral("http://www.kernel.org/"),
                            QStringLiteral("Kernel"));
    QWidget* list = m_list->ItemView()->viewport();
    QString shownName;
    QString shownUrl;
    m_ui.m_dialogScripts.push_back([&](QDialog& dialog) {
        const QList<QLineEdit*> edits = dialog.findChildren<QLineEdit*>();
        for (QLineEdit* edit : edits) {
            if (edit->text().startsWith(QLatin1String("http")))
                shownUrl = edit->text();
            else if (!edit->text().isEmpty())
                shownName = edit->text();
        }
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(DragAndDrop(list, data.get(), QPoint(30, 30)), Qt::CopyAction);
    ASSERT_EQ(m_ui.m_dialogs.size(), 1u);
    EXPECT_EQ(shownUrl, QStringLiteral("http://www.kernel.org/"));
    EXPECT_EQ(shownName, QStringLiteral("Kernel"));
    EXPECT_EQ(Names(Folder("c")).size(), 6);
    // The new row is selected.
    const std::vector<int> rows = m_list->SelectedRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(ListNames().at(rows[0]), QStringLiteral("Kernel"));

    // Cancel adds nothing.
    m_ui.m_dialogScripts.push_back([](QDialog&) { return int(QDialog::Rejected); });
    auto other
        = BrowserLink(LinkDrag::netscapeUrl, QStringLiteral("http://other.example/"), QString());
    DragAndDrop(list, other.get(), QPoint(30, 30));
    EXPECT_EQ(Names(Folder("c")).size(), 6);
}

class ListStyleDrop : public ExternalDropTest, public ::testing::WithParamInterface<int>
{};

TEST_P(ListStyleDrop, EveryDisplayStyleDragsRowsAndTakesDrops)
{
    m_list->SetListStyle(GetParam());
    QAbstractItemView* view = m_list->ItemView();
    EXPECT_TRUE(view->dragEnabled());
    const QString shortcut = WriteFile(QStringLiteral("Style.url"),
                                       "[InternetShortcut]\r\nURL=http://style.example/\r\n");
    auto data = FileManagerDrag({shortcut});
    EXPECT_EQ(DragAndDrop(view->viewport(), data.get(), QPoint(10, 10)), Qt::CopyAction);
    EXPECT_TRUE(ListNames().contains(QStringLiteral("Style")));
}

INSTANTIATE_TEST_SUITE_P(Styles, ListStyleDrop, ::testing::Values(0, 1, 2, 3));

TEST_F(ExternalDropTest, AFileManagerDragHandsShortcutsOnAndOpensDocuments)
{
    const QString shortcut = WriteFile(
        QStringLiteral("News.url"), "[InternetShortcut]\r\nURL=http://news.example.com/today\r\n");
    const QString document = WriteFile(QStringLiteral("b.kiv"), "not read here");
    const QString other = WriteFile(QStringLiteral("c.txt"), "plain");
    ASSERT_TRUE(m_tree->SelectFolder(Folder("a")));
    auto data = FileManagerDrag({shortcut, document, other});
    EXPECT_EQ(DragAndDrop(m_list->ItemView()->viewport(), data.get(), QPoint(10, 10)),
              Qt::CopyAction);
    EXPECT_EQ(Names(Folder("a")), (QStringList{"a-one", "News"}));
    EXPECT_TRUE(m_ui.m_dialogs.empty());
    EXPECT_EQ(m_opened, QStringList{document});
    EXPECT_TRUE(ListNames().contains(QStringLiteral("News")));

    // The same shortcut on a tree folder lands there with no dialog either.
    m_opened.clear();
    auto again = FileManagerDrag({shortcut});
    DragAndDrop(m_tree->viewport(), again.get(), PointOf(Folder("b")));
    EXPECT_TRUE(Names(Folder("b")).contains(QStringLiteral("News")));
    EXPECT_TRUE(m_opened.isEmpty());
}

TEST_F(ExternalDropTest, ADropOfSeveralShortcutsIsOneStepThatUndoesAndRedoesWhole)
{
    CUndoHistory history(m_doc);
    CloseLooseStepsLater(history, m_tree);
    const QString one = WriteFile(QStringLiteral("One.url"),
                                  "[InternetShortcut]\r\nURL=http://one.example.com/\r\n");
    const QString two = WriteFile(QStringLiteral("Two.url"),
                                  "[InternetShortcut]\r\nURL=http://two.example.com/\r\n");
    const std::vector<uint32_t> b = Folder("b")->m_aBookmarks;
    const uint32_t table = m_doc.BookmarkCount();
    auto data = FileManagerDrag({one, two});
    DragAndDrop(m_tree->viewport(), data.get(), PointOf(Folder("b")));
    ASSERT_TRUE(Names(Folder("b")).contains(QStringLiteral("Two")));
    ASSERT_TRUE(LetTheLoopTurn(m_doc));
    const std::vector<uint32_t> dropped = Folder("b")->m_aBookmarks;
    ASSERT_EQ(history.Count(), 1u);
    EXPECT_EQ(history.UndoText(), QStringLiteral("Deshacer añadir 2 marcadores"));

    history.Undo();
    EXPECT_EQ(Folder("b")->m_aBookmarks, b);
    EXPECT_EQ(m_doc.BookmarkCount(), table);
    EXPECT_EQ(m_doc.FindUrl("http://one.example.com/"), -1);
    EXPECT_FALSE(m_doc.IsModified());
    history.Redo();
    EXPECT_EQ(Folder("b")->m_aBookmarks, dropped);
    EXPECT_EQ(m_doc.BookmarkCount(), table + 2);
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(ExternalDropTest, AShortcutWithoutAUrlAddsNothing)
{
    const QString empty = WriteFile(QStringLiteral("Empty.url"), "[InternetShortcut]\r\n");
    auto data = FileManagerDrag({empty});
    DragAndDrop(m_tree->viewport(), data.get(), PointOf(Folder("a")));
    EXPECT_EQ(Names(Folder("a")), QStringList{"a-one"});
    EXPECT_TRUE(m_ui.m_messages.empty());
}

TEST_F(ExternalDropTest, PlainTextIsRefusedAlsoRightAfterALink)
{
    for (QWidget* target : {m_tree->viewport(), m_list->ItemView()->viewport()}) {
        auto link
            = BrowserLink(LinkDrag::mozUrl, QStringLiteral("http://x.example.org"), QString());
        ASSERT_TRUE(Enter(target, link.get(), QPoint(10, 10)));
        Leave(target);
        QMimeData text;
        text.setText(QStringLiteral("http://looks.like.a.url/"));
        EXPECT_FALSE(Enter(target, &text, QPoint(10, 10)));
        // A drop arriving anyway does nothing.
        EXPECT_EQ(Drop(target, &text, PointOf(Folder("a"))), Qt::IgnoreAction);
    }
    EXPECT_EQ(Names(Folder("a")), QStringList{"a-one"});
    EXPECT_TRUE(m_ui.m_dialogs.empty());
}

TEST_F(ExternalDropTest, TheSourceIsNeverToldToMove)
{
    auto data = BrowserLink(LinkDrag::mozUrl, QStringLiteral("http://move.example.org"), QString());
    // A source that only offers a move is refused rather than told to delete.
    EXPECT_FALSE(Enter(m_tree->viewport(), data.get(), PointOf(Folder("a")), Qt::MoveAction));
    EXPECT_EQ(Names(Folder("a")), QStringList{"a-one"});
    // Offered move or link, the answer is link.
    EXPECT_TRUE(Enter(m_tree->viewport(), data.get(), PointOf(Folder("a")),
                      Qt::MoveAction | Qt::LinkAction));
    EXPECT_EQ(
        Drop(m_tree->viewport(), data.get(), PointOf(Folder("a")), Qt::MoveAction | Qt::LinkAction),
        Qt::LinkAction);
}

TEST_F(ExternalDropTest, ATargetWithoutASinkStillOpensDocuments)
{
    QStringList opened;
    CExternalDropTarget target(nullptr, [&](const QString& path) { opened << path; });
    const QString document = WriteFile(QStringLiteral("x.KIV"), "");
    const QString shortcut
        = WriteFile(QStringLiteral("y.url"), "[InternetShortcut]\nURL=http://y/\n");
    auto data = FileManagerDrag({shortcut, document});
    ASSERT_NE(target.DragEnter(*data, Qt::CopyAction), Qt::IgnoreAction);
    EXPECT_EQ(target.Drop(*data, QPoint(), Qt::CopyAction), Qt::CopyAction);
    EXPECT_EQ(opened, QStringList{document});
}

TEST_F(ExternalDropTest, DragsInsideTheWindowAreNotTakenForDropsFromOutside)
{
    // A row drag over the list is not another program's drop.
    KivDrag::CRowDragData rows(m_list);
    EXPECT_FALSE(Enter(m_list->ItemView()->viewport(), &rows, QPoint(10, 10)));
    // Nor is the marker format alone, as another copy of the program would offer it.
    QMimeData marker;
    marker.setData(QString::fromLatin1(KivDrag::kInternalFormat), "rows");
    EXPECT_FALSE(Enter(m_tree->viewport(), &marker, PointOf(Folder("a"))));
}

} // namespace
