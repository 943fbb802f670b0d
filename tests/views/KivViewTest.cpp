#include "ViewTestApp.h"

#include "res/Commands.h"
#include "framework/Profile.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "res/Strings.h"
#include "views/KivView.h"
#include "views/Clipboard.h"
#include "views/LeftView.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QClipboard>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

class KivViewTest : public KivTest::SamplePanesTest
{
protected:
    void SetUp() override
    {
        KivTest::EnsureApp();
        KivTest::Settings().listStyle = LVS_REPORT;
        KivTest::Settings().newWindow = false;
        KivTest::Settings().keepWndSize = false;
        OpenSamplePanes();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            &m_list->ListModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        m_list->m_openUrl = [this](const std::string& url, bool newWindow) {
            m_opened.emplace_back(url, newWindow);
        };
        m_doc.SendInitialUpdate();
        QGuiApplication::clipboard()->clear();
    }

    void TearDown() override
    {
        m_tester.reset();
        SamplePanesTest::TearDown();
    }

    void Show(CFolderNode* folder) { ASSERT_TRUE(m_tree->SelectFolder(folder)); }

    QStringList Names()
    {
        QStringList names;
        for (int r = 0; r < m_list->RowCount(); ++r)
            names << m_list->ListModel().index(r, 0).data().toString();
        return names;
    }

    // Selects exactly these rows.
    void SelectRows(std::initializer_list<int> rows)
    {
        m_list->SetAllSelected(false);
        for (int r : rows)
            m_list->DetailsView()->selectionModel()->select(
                m_list->ListModel().index(r, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    std::function<int(QDialog&)> Fill(const char* name, const char* url, const char* comment)
    {
        return [=](QDialog& d) {
            d.findChild<QLineEdit*>("edit1000")->setText(QString::fromUtf8(name));
            d.findChild<QLineEdit*>("edit1001")->setText(QString::fromUtf8(url));
            d.findChild<QLineEdit*>("edit1002")->setText(QString::fromUtf8(comment));
            return QDialog::Accepted;
        };
    }

    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::vector<std::pair<std::string, bool>> m_opened;
};

TEST_F(KivViewTest, RowsFollowTheFolderWithThreeColumns)
{
    Show(Folder("c"));
    EXPECT_EQ(Names(), (QStringList{"c1", "c2", "c3", "c4", "c5"}));
    const QAbstractItemModel& model = m_list->ListModel();
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Nombre");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Url");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Comentario");
    EXPECT_EQ(model.index(0, 1).data().toString(), "http://c1.example");
    for (int r = 0; r < m_list->RowCount(); ++r)
        EXPECT_EQ(m_list->IndexAt(r), Folder("c")->m_aBookmarks[static_cast<size_t>(r)]);
    Show(&m_doc.m_root);
    EXPECT_EQ(model.index(0, 2).data().toString(), "first");
    const QHeaderView* header = m_list->DetailsView()->header();
    EXPECT_EQ(header->sectionSize(0), 160);
    EXPECT_EQ(header->sectionSize(1), 200);
    EXPECT_EQ(header->sectionSize(2), 200);
}

TEST_F(KivViewTest, CountIsReportedAfterEveryRebuild)
{
    QSignalSpy counts(m_list, &CKivView::ItemCountChanged);
    Show(Folder("c"));
    ASSERT_FALSE(counts.isEmpty());
    EXPECT_EQ(counts.last().at(0).toInt(), 5);
    m_doc.m_pCurFolder = nullptr;
    m_doc.UpdateAllViews(nullptr, HINT_NEW_FAVORITES);
    EXPECT_EQ(m_list->RowCount(), 0);
    EXPECT_EQ(counts.last().at(0).toInt(), 0);
}

class KivViewStyleTest : public KivViewTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(KivViewStyleTest, StyleComesFromTheSettingAndGoesBackAtTheEnd)
{
    const int style = GetParam();
    m_panes.reset();
    m_tester.reset();
    KivTest::Settings().listStyle = style;
    m_panes = std::make_unique<KivTest::Panes>(m_doc);
    m_list = m_panes->list;
    m_doc.SendInitialUpdate();
    EXPECT_EQ(m_list->GetListStyle(), style);
    if (style == LVS_REPORT) {
        EXPECT_EQ(m_list->ItemView(), m_list->DetailsView());
    } else {
        EXPECT_EQ(m_list->ItemView(), m_list->IconView());
        EXPECT_EQ(m_list->IconView()->viewMode(),
                  style == LVS_ICON ? QListView::IconMode : QListView::ListMode);
        EXPECT_EQ(m_list->IconView()->flow(),
                  style == LVS_LIST ? QListView::TopToBottom : QListView::LeftToRight);
    }
    EXPECT_TRUE(m_list->ItemView()->isVisible());
    EXPECT_EQ(m_list->IconView()->model()->rowCount(), 2);
    // Both forms share one selection.
    m_list->SelectRow(1);
    EXPECT_TRUE(m_list->IconView()->selectionModel()->isRowSelected(1, {}));
    m_list->SetListStyle((style + 1) % 4);
    EXPECT_EQ(m_list->SelectedRows(), std::vector<int>{1});
    m_panes.reset();
    EXPECT_EQ(KivTest::Settings().listStyle, (style + 1) % 4);
}

INSTANTIATE_TEST_SUITE_P(AllStyles, KivViewStyleTest, ::testing::Values(0, 1, 2, 3));

TEST_F(KivViewTest, ColumnWidthsAreAlwaysWrittenButReadOnlyWithKeepWndSize)
{
    m_list->DetailsView()->header()->resizeSection(0, 123);
    m_list->DetailsView()->header()->resizeSection(2, 77);
    m_panes.reset();
    m_tester.reset();
    CProfile& profile = *KivTest::Settings().profile;
    EXPECT_EQ(profile.GetProfileInt("WndSize", "cxC0", 0), 123);
    EXPECT_EQ(profile.GetProfileInt("WndSize", "cxC1", 0), 200);
    EXPECT_EQ(profile.GetProfileInt("WndSize", "cxC2", 0), 77);

    m_panes = std::make_unique<KivTest::Panes>(m_doc);
    m_doc.SendInitialUpdate();
    EXPECT_EQ(m_panes->list->DetailsView()->header()->sectionSize(0), 160);
    m_panes.reset();

    profile.WriteProfileInt("WndSize", "cxC0", 123);
    profile.WriteProfileInt("WndSize", "cxC1", 0x10000 + 90); // only the low 16 bits count
    profile.WriteProfileInt("WndSize", "cxC2", 77);
    KivTest::Settings().keepWndSize = true;
    m_panes = std::make_unique<KivTest::Panes>(m_doc);
    m_doc.SendInitialUpdate();
    const QHeaderView* header = m_panes->list->DetailsView()->header();
    EXPECT_EQ(header->sectionSize(0), 123);
    EXPECT_EQ(header->sectionSize(1), 90);
    EXPECT_EQ(header->sectionSize(2), 77);
    KivTest::Settings().keepWndSize = false;
}

TEST_F(KivViewTest, NewItemTakesTheDialogsTextsAndSelectsTheRow)
{
    CScriptedUi ui;
    QGuiApplication::clipboard()->setText("  http://www.clip.org/x  ");
    QStringList shown;
    ui.m_dialogScripts.push_back([&](QDialog& d) {
        shown << d.findChild<QLineEdit*>("edit1000")->text()
              << d.findChild<QLineEdit*>("edit1001")->text()
              << d.findChild<QLineEdit*>("edit1002")->text();
        return Fill("r-gamma", "http://gamma.example", "g")(d);
    });
    m_doc.SetModifiedFlag(false);
    m_list->ItemView()->setFocus();
    QTest::keyClick(m_list->ItemView(), Qt::Key_Insert);
    EXPECT_EQ(shown, (QStringList{"Clip", "http://www.clip.org/x", ""}));
    EXPECT_EQ(Names(), (QStringList{"r-alpha", "r-beta", "r-gamma"}));
    EXPECT_EQ(m_list->SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(m_doc.m_root.m_aBookmarks.size(), 3u);
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(KivViewTest, NewItemWithAKnownUrlListsTheExistingBookmarkOnce)
{
    CScriptedUi ui;
    Show(Folder("a"));
    ui.m_dialogScripts.push_back(Fill("other name", "http://c3.example", "other"));
    ui.m_dialogScripts.push_back(Fill("again", "http://c3.example", ""));
    ui.m_dialogScripts.push_back(Fill("short", "h", ""));
    ui.m_dialogScripts.push_back([](QDialog&) { return QDialog::Rejected; });
    for (int k = 0; k < 4; ++k)
        ASSERT_TRUE(m_list->OnCmdMsg(ID_ITEM_NEW));
    EXPECT_EQ(ui.m_dialogs.size(), 4u);
    EXPECT_EQ(Names(), (QStringList{"a-one", "c3"}));
    EXPECT_EQ(m_list->ListModel().index(1, 2).data().toString(), "");
    EXPECT_EQ(Folder("a")->m_aBookmarks.size(), 2u);
}

TEST_F(KivViewTest, EditingOnlyTheCaseUpdatesTheRowInPlace)
{
    CScriptedUi ui;
    Show(Folder("c"));
    SelectRows({1});
    ui.m_dialogScripts.push_back(Fill("C2", "http://c2.new", "note"));
    m_doc.SetModifiedFlag(false);
    ASSERT_TRUE(m_list->OnCmdMsg(ID_ITEM_EDIT));
    EXPECT_EQ(Names(), (QStringList{"c1", "C2", "c3", "c4", "c5"}));
    const uint32_t b = m_list->IndexAt(1);
    EXPECT_EQ(m_doc.Bookmark(b).m_strUrl, "http://c2.new");
    EXPECT_EQ(m_doc.Bookmark(b).m_strComment, "note");
    EXPECT_EQ(m_list->ListModel().index(1, 1).data().toString(), "http://c2.new");
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(KivViewTest, RenamingMovesTheRowInTheShownFolderOnly)
{
    CScriptedUi ui;
    // c2 is listed in a too, after a-one.
    const uint32_t c2 = Folder("c")->m_aBookmarks[1];
    m_doc.LinkBookmark(Folder("a"), c2);
    Show(Folder("c"));
    SelectRows({1});
    ui.m_dialogScripts.push_back(Fill("z", "http://c2.example", ""));
    QTest::keyClick(m_list->ItemView(), Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(Names(), (QStringList{"c1", "c3", "c4", "c5", "z"}));
    EXPECT_EQ(m_list->SelectedRows(), std::vector<int>{4});
    // The other folder shows the new name but keeps its order.
    const std::vector<uint32_t> a = Folder("a")->m_aBookmarks;
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(m_doc.Bookmark(a[0]).m_strName, "a-one");
    EXPECT_EQ(a[1], c2);
}

TEST_F(KivViewTest, DeleteMovesRowsIntoTheTrashAndSelectsANeighbour)
{
    Show(Folder("c"));
    SelectRows({2, 3});
    m_doc.SetModifiedFlag(false);
    ASSERT_TRUE(m_list->OnCmdMsg(ID_ITEM_DELETE));
    EXPECT_EQ(Names(), (QStringList{"c1", "c2", "c5"}));
    EXPECT_EQ(m_list->SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(m_doc.m_trash.m_aBookmarks.size(), 2u);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(m_tree->TreeModel().IndexOf(m_tree->TreeModel().TrashItem())
                  .data(CFolderTreeModel::ImageRole).toInt(), 4);

    // The last rows go: the last one left is selected.
    SelectRows({2});
    QTest::keyClick(m_list->ItemView(), Qt::Key_Delete);
    EXPECT_EQ(m_list->SelectedRows(), std::vector<int>{1});

    // Everything goes: nothing is selected.
    m_list->OnCmdMsg(ID_EDIT_SELECT_ALL);
    QTest::keyClick(m_list->ItemView(), Qt::Key_Delete);
    EXPECT_EQ(m_list->RowCount(), 0);
    EXPECT_TRUE(m_list->SelectedRows().empty());
    EXPECT_TRUE(Folder("c")->m_aBookmarks.empty());
    EXPECT_EQ(m_doc.m_trash.m_aBookmarks.size(), 5u);
}

TEST_F(KivViewTest, DeletingManyScatteredRowsOfOneNameKeepsRowsAndListsInStep)
{
    // Every other row of sixty with one name: far more separate runs than are
    // removed one by one.
    CFolderNode* folder = m_doc.CreateFolder(&m_doc.m_root, "same", false);
    for (int k = 0; k < 60; ++k)
        m_doc.AddBookmark(("http://same/" + std::to_string(k)).c_str(), "Home", "", folder, false);
    const std::vector<uint32_t> before = folder->m_aBookmarks;
    m_doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &m_doc.m_root);
    Show(folder);
    m_list->SetAllSelected(false);
    for (int r = 1; r < 60; r += 2)
        m_list->DetailsView()->selectionModel()->select(m_list->ListModel().index(r, 0),
                                                        QItemSelectionModel::Select
                                                            | QItemSelectionModel::Rows);
    ASSERT_TRUE(m_list->OnCmdMsg(ID_ITEM_DELETE));
    std::vector<uint32_t> kept, trashed;
    for (size_t k = 0; k < before.size(); ++k)
        (k % 2 ? trashed : kept).push_back(before[k]);
    EXPECT_EQ(folder->m_aBookmarks, kept);
    EXPECT_EQ(m_list->ListModel().Rows(), kept);
    EXPECT_EQ(m_doc.m_trash.m_aBookmarks, trashed); // one name: in the order they came
    EXPECT_EQ(m_list->SelectedRows(), std::vector<int>{1});
}

TEST_F(KivViewTest, DeleteKeyWithNothingSelectedSelectsTheFirstRow)
{
    Show(Folder("c"));
    m_list->SetAllSelected(false);
    QTest::keyClick(m_list->ItemView(), Qt::Key_Delete);
    EXPECT_EQ(m_list->RowCount(), 5);
    EXPECT_EQ(m_list->SelectedRows(), std::vector<int>{0});
    EXPECT_TRUE(m_doc.m_trash.m_aBookmarks.empty());
}

TEST_F(KivViewTest, NothingLeavesTheTrashByDeleteAndNothingEntersCheck)
{
    Show(Folder("c"));
    SelectRows({0});
    m_list->OnCmdMsg(ID_ITEM_DELETE);
    Show(&m_doc.m_trash);
    SelectRows({0});
    m_list->OnCmdMsg(ID_ITEM_DELETE);
    EXPECT_EQ(Names(), QStringList{"c1"});
    m_list->MoveSelectionTo(&m_doc.m_check, false);
    EXPECT_TRUE(m_doc.m_check.m_aBookmarks.empty());
    // Copying keeps the rows; moving takes them away.
    m_list->MoveSelectionTo(Folder("a"), true);
    EXPECT_EQ(Names(), QStringList{"c1"});
    EXPECT_EQ(Folder("a")->m_aBookmarks.size(), 2u);
}

struct RuleCase
{
    std::vector<int> selected;
    bool any;
    bool one;
};

class KivViewRulesTest : public KivViewTest, public ::testing::WithParamInterface<RuleCase>
{
};

TEST_P(KivViewRulesTest, UpdateRulesFollowTheSelection)
{
    Show(Folder("c"));
    m_list->SetAllSelected(false);
    for (int r : GetParam().selected)
        m_list->DetailsView()->selectionModel()->select(
            m_list->ListModel().index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const auto enabled = [this](unsigned id) {
        CCmdUI ui(id);
        EXPECT_TRUE(m_list->OnUpdateCmdMsg(&ui)) << id;
        return ui.m_bEnabled;
    };
    EXPECT_EQ(enabled(ID_ITEM_DELETE), GetParam().any);
    EXPECT_EQ(enabled(ID_ITEM_OPEN), GetParam().any);
    EXPECT_EQ(enabled(ID_ITEM_OPEN_NEW_WINDOW), GetParam().any);
    EXPECT_EQ(enabled(ID_ITEM_EDIT), GetParam().one);
    EXPECT_TRUE(enabled(ID_ITEM_NEW));
    EXPECT_TRUE(enabled(ID_EDIT_SELECT_ALL));
}

INSTANTIATE_TEST_SUITE_P(Selections, KivViewRulesTest,
                         ::testing::Values(RuleCase{{}, false, false}, RuleCase{{3}, true, true},
                                           RuleCase{{0, 4}, true, false}));

// The bookmarks of the private clipboard format now on the clipboard, by name.
QStringList ClipboardNames()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!KivClipboard::OffersPayload(data))
        return {};
    CFlatTree flat;
    if (KivClipboard::ReadPayload(data->data(KivClipboard::kFormatName), flat)
        != KivClipboard::ReadStatus::ok)
        return {"unreadable"};
    QStringList names;
    for (const FlatBookmark& b : flat.m_flatBookmarks)
        names << QString::fromStdString(b.m_strName);
    return names;
}

TEST_F(KivViewTest, CopyPutsTheSelectedRowsOnTheClipboardAndCutAlsoTrashesThem)
{
    Show(Folder("c"));
    SelectRows({3, 0});
    ASSERT_TRUE(m_list->OnCmdMsg(ID_EDIT_COPY));
    EXPECT_EQ(ClipboardNames(), (QStringList{"c1", "c4"}));
    EXPECT_EQ(m_list->RowCount(), 5);
    // Other programs get the URLs, one a line, and as a URL list.
    QStringList urls;
    for (int row : {0, 3})
        urls << QString::fromStdString(m_doc.Bookmark(m_list->ListModel().IndexAt(row)).m_strUrl);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), urls.join(QLatin1Char('\n')));
    QStringList listed;
    for (const QUrl& url : data->urls())
        listed << url.toString();
    EXPECT_EQ(listed, urls);

    SelectRows({1});
    ASSERT_TRUE(m_list->OnCmdMsg(ID_EDIT_CUT));
    EXPECT_EQ(ClipboardNames(), QStringList{"c2"});
    EXPECT_EQ(Names(), (QStringList{"c1", "c3", "c4", "c5"}));
    EXPECT_EQ(m_doc.m_trash.m_aBookmarks.size(), 1u);

    // Inside the trash a cut only copies.
    Show(&m_doc.m_trash);
    SelectRows({0});
    m_list->OnCmdMsg(ID_EDIT_CUT);
    EXPECT_EQ(Names(), QStringList{"c2"});
    EXPECT_EQ(ClipboardNames(), QStringList{"c2"});

    // Nothing selected: the clipboard keeps what it has.
    m_list->SetAllSelected(false);
    for (unsigned id : {unsigned(ID_EDIT_COPY), unsigned(ID_EDIT_CUT)}) {
        CCmdUI ui(id);
        m_list->OnUpdateCmdMsg(&ui);
        EXPECT_FALSE(ui.m_bEnabled) << id;
    }
    m_list->OnCmdMsg(ID_EDIT_COPY);
    EXPECT_EQ(ClipboardNames(), QStringList{"c2"});
}

TEST_F(KivViewTest, SelectAllNeedsRows)
{
    Show(Folder("c"));
    QTest::keyClick(m_list->ItemView(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(m_list->SelectedRows(), (std::vector<int>{0, 1, 2, 3, 4}));
    CFolderNode* empty = m_doc.WalkPath("empty");
    m_doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &m_doc.m_root);
    Show(empty);
    CCmdUI ui(ID_EDIT_SELECT_ALL);
    m_list->OnUpdateCmdMsg(&ui);
    EXPECT_FALSE(ui.m_bEnabled);
}

TEST_F(KivViewTest, EnterAndDoubleClickFollowNewWindowTheCommandsDoNot)
{
    Show(Folder("c"));
    SelectRows({3, 1});
    for (bool newWindow : {false, true}) {
        KivTest::Settings().newWindow = newWindow;
        QTest::keyClick(m_list->ItemView(), Qt::Key_Return);
        emit m_list->DetailsView()->doubleClicked(m_list->ListModel().index(4, 0));
    }
    m_list->OnCmdMsg(ID_ITEM_OPEN);
    m_list->OnCmdMsg(ID_ITEM_OPEN_NEW_WINDOW);
    using Open = std::pair<std::string, bool>;
    EXPECT_EQ(m_opened, (std::vector<Open>{{"http://c2.example", false},
                                           {"http://c5.example", false},
                                           {"http://c2.example", true},
                                           {"http://c5.example", true},
                                           {"http://c2.example", false},
                                           {"http://c2.example", true}}));
    KivTest::Settings().newWindow = false;
}

// The content can be replaced while a modal window waits (the program refuses the
// bus calls that would do it, but nothing else may rely on that): OK must then act
// on nothing, never on a stale row or a freed folder.
TEST_F(KivViewTest, HandlersCheckWhatTheyAskedAboutAfterTheModalLoop)
{
    CScriptedUi ui;
    const QString path = m_doc.GetPathName();
    const auto reopen = [this, path] {
        ASSERT_TRUE(m_doc.OpenDocumentFile(path));
        m_doc.SendInitialUpdate();
    };
    const uint32_t count = m_doc.BookmarkCount();
    Show(Folder("c"));
    SelectRows({1});
    ui.m_dialogScripts.push_back([&](QDialog& d) {
        reopen();
        return Fill("z", "http://z.example", "")(d);
    });
    m_list->OnEditItem();
    Show(Folder("c"));
    ui.m_dialogScripts.push_back([&](QDialog& d) {
        reopen();
        return Fill("y", "http://y.example", "")(d);
    });
    m_list->OnNewItem();
    EXPECT_EQ(m_doc.BookmarkCount(), count);
    for (uint32_t i = 0; i < m_doc.BookmarkCount(); ++i)
        EXPECT_NE(m_doc.Bookmark(i).m_strName, "z");

    // The tree's question before it deletes a folder with content.
    ASSERT_TRUE(m_tree->SelectFolder(Folder("b")));
    ui.m_messageAnswers = {CUi::IDOK};
    ui.m_whileMessage = reopen;
    m_tree->OnDeleteFolder();
    ui.m_whileMessage = nullptr;
    EXPECT_EQ(ui.m_messages.size(), 1u);
    EXPECT_NE(Folder("b"), nullptr);
    EXPECT_TRUE(m_doc.m_trash.m_aBookmarks.empty());
    EXPECT_FALSE(m_doc.IsModified());
}

TEST_F(KivViewTest, SelectRowHintSelectsInRangeAndOtherHintsAreLeftAlone)
{
    Show(Folder("c"));
    m_doc.UpdateAllViews(nullptr, HINT_SELECT_ROW, 3);
    EXPECT_EQ(m_list->SelectedRows(), std::vector<int>{3});
    EXPECT_EQ(m_list->DetailsView()->currentIndex().row(), 3);
    for (int bad : {-1, 5}) {
        m_doc.UpdateAllViews(nullptr, HINT_SELECT_ROW, bad);
        EXPECT_EQ(m_list->SelectedRows(), std::vector<int>{3});
    }
    // 10 and 11 leave the rows as they are, even when the folder changed.
    m_doc.AddBookmark("http://c0.example", "c0", "", Folder("c"), false);
    m_doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &m_doc.m_root);
    EXPECT_EQ(m_list->RowCount(), 5);
    m_doc.UpdateAllViews(nullptr, HINT_REFRESH);
    EXPECT_EQ(m_list->RowCount(), 6);
}

TEST_F(KivViewTest, ContextMenuOpensAtTheMouseOrForTheKeyAtTheFirstSelectedRow)
{
    QSignalSpy asked(m_list, &CKivView::ContextMenuRequested);
    Show(Folder("c"));
    SelectRows({2, 4});
    QTreeView* view = m_list->DetailsView();
    const auto closePopup = [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    };
    const QPoint mouse(50, 60);
    QContextMenuEvent click(QContextMenuEvent::Mouse, mouse, view->viewport()->mapToGlobal(mouse));
    QApplication::sendEvent(view->viewport(), &click);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0][0].toUInt(), 132u);
    EXPECT_EQ(asked[0][1].toPoint(), view->viewport()->mapToGlobal(mouse));
    closePopup();

    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(2, 2), view->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(view, &key);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[1][1].toPoint(),
              view->viewport()->mapToGlobal(
                  view->visualRect(m_list->ListModel().index(2, 0)).topLeft() + QPoint(4, 4)));
    closePopup();
    m_list->SetAllSelected(false);
    QApplication::sendEvent(view, &key);
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[2][1].toPoint(), view->mapToGlobal(QPoint(2, 2)));
    closePopup();
}

TEST_F(KivViewTest, AHundredThousandRowsComeFromOneModel)
{
    CFolderNode* big = m_doc.WalkPath("big");
    for (int k = 0; k < 100000; ++k) {
        const std::string n = std::to_string(k);
        m_doc.AddBookmark(("http://" + n + ".example").c_str(), n.c_str(), "", big, false);
    }
    m_tester.reset(); // the tester's checks are quadratic at this size
    m_doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &m_doc.m_root);
    Show(big);
    EXPECT_EQ(m_list->RowCount(), 100000);
    m_list->OnCmdMsg(ID_EDIT_SELECT_ALL);
    m_list->OnCmdMsg(ID_ITEM_DELETE);
    EXPECT_EQ(m_list->RowCount(), 0);
    EXPECT_EQ(m_doc.m_trash.m_aBookmarks.size(), 100000u);
}

}  // namespace
