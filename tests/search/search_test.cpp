// The search bar in the real window, driven with the keyboard: what find and find
// next select in the tree and the list, the field menu, the Tab cycle and the layout.
#include "app/AppTestSupport.h"

#include "res/Commands.h"
#include "app/KivApp.h"
#include "frame/MainFrame.h"
#include "frame/SearchBar.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace KivAppTest;

namespace {

// Where find should land: folder name and row.
struct Spot
{
    std::string folder;
    int row;
    bool operator==(const Spot&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Spot& s)
{
    return os << s.folder << ":" << s.row;
}

class SearchWindow : public ::testing::Test
{
protected:
    // Root:  "Alpha root", "tonic root", "zeta" (comment "alpha in comment")
    //   Uno: "alpha uno", "otro";  Uno/Dos/Tres: "deep ALPHA"
    //   Zwei: "a alpha", "b alpha"
    // Papelera: "aaa trash", "bbb trash", "tonic trash" (listed nowhere else)
    // Comprobar: "aaa check", "bbb check", "tonic check" (listed nowhere else)
    // A bookmark "Kappa" has its own name, URL and comment texts.
    void Start()
    {
        CKivDoc doc;
        doc.OnNewDocument();
        CFolderNode* root = &doc.m_root;
        CFolderNode* uno = doc.CreateFolder(root, "Uno", false);
        CFolderNode* tres = doc.CreateFolder(doc.CreateFolder(uno, "Dos", false), "Tres", false);
        CFolderNode* zwei = doc.CreateFolder(root, "Zwei", false);
        Add(doc, root, "Alpha root", "http://r1.example");
        Add(doc, root, "tonic root", "http://r2.example");
        Add(doc, root, "zeta", "http://r3.example", "alpha in comment");
        Add(doc, uno, "alpha uno", "http://u1.example");
        Add(doc, uno, "otro", "http://u2.example");
        Add(doc, tres, "deep ALPHA", "http://t1.example");
        Add(doc, zwei, "a alpha", "http://z1.example");
        Add(doc, zwei, "b alpha", "http://z2.example");
        Add(doc, zwei, "Kappa nameonly", "http://urlonly.example", "commentonly");
        const QString path = m_env.Path(QStringLiteral("find.kiv"));
        if (!doc.DoSave(path))
            std::abort();

        m_app = std::make_unique<CKivApp>();
        ASSERT_TRUE(m_app->InitInstance({path}));
        m_frame = m_app->GetMainFrame();
        ASSERT_TRUE(m_frame);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame));
        m_frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame));
        m_bar = m_frame->SearchBar();
        ASSERT_TRUE(m_bar);
        // The file keeps no trash or check folder: they fill while the program runs.
        CKivDoc& open = Doc();
        Add(open, &open.m_trash, "aaa trash", "http://x1.example");
        Add(open, &open.m_trash, "bbb trash", "http://x2.example");
        Add(open, &open.m_trash, "tonic trash", "http://x3.example");
        Add(open, &open.m_check, "aaa check", "http://c1.example");
        Add(open, &open.m_check, "bbb check", "http://c2.example");
        Add(open, &open.m_check, "tonic check", "http://c3.example");
    }
    static void Add(CKivDoc& doc, CFolderNode* folder, const char* name, const char* url,
                    const char* comment = "")
    {
        if (!doc.AddBookmark(url, name, comment, folder, false))
            std::abort();
    }

    // Keys go where the focus is, through the window's shortcuts like a real key.
    static void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_TRUE(target);
        QTest::keyClick(target, key, mods);
        QApplication::processEvents();
    }
    // Ctrl+F, the text typed over the selected old one, Enter.
    void Search(const QString& text)
    {
        Key(Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(m_bar->Edit()->hasFocus());
        QTest::keyClicks(m_bar->Edit(), text);
        Key(Qt::Key_Return);
    }

    CKivDoc& Doc() { return m_app->Document(); }
    CLeftView* Tree() { return m_frame->GetLeftPane(); }
    CKivView* List() { return m_frame->GetRightPane(); }

    // The folder the tree selects and the one selected row of the list; the tree and
    // the document agree on the current folder.
    Spot Shown()
    {
        const CFolderNode* folder = Tree()->SelectedFolder();
        EXPECT_EQ(folder, Doc().m_pCurFolder);
        const std::vector<int> rows = List()->SelectedRows();
        return {Name(folder), rows.size() == 1 ? rows.front() : -static_cast<int>(rows.size())};
    }
    // The built-in folders by the names the tree shows.
    std::string Name(const CFolderNode* folder)
    {
        if (!folder)
            return "(none)";
        if (folder == &Doc().m_root)
            return "Escritorio";
        if (folder == &Doc().m_trash)
            return "Papelera";
        if (folder == &Doc().m_check)
            return "Comprobar";
        return folder->m_strName;
    }
    bool ListHasFocus()
    {
        QWidget* focus = QApplication::focusWidget();
        return focus && (focus == List() || List()->isAncestorOf(focus));
    }
    // The selected row lies inside the list's viewport.
    bool SelectedRowVisible()
    {
        QAbstractItemView* view = List()->ItemView();
        const QRect r = view->visualRect(view->currentIndex());
        return !r.isEmpty() && view->viewport()->rect().intersects(r);
    }
    QStringList Messages() const { return m_env.m_ui->MessageTexts(); }

    AppEnv m_env;
    std::unique_ptr<CKivApp> m_app;
    CMainFrame* m_frame = nullptr;
    CSearchBar* m_bar = nullptr;
};

// --- find and find next --------------------------------------------------------------------

TEST_F(SearchWindow, KeyboardSearchVisitsEveryHitInTreeOrderThenStartsAgain)
{
    Start();
    ASSERT_FALSE(m_frame->SearchBarBand()->isVisibleTo(m_frame));
    Search(QStringLiteral("alpha"));
    EXPECT_EQ(Shown(), (Spot{"Escritorio", 0}));
    EXPECT_TRUE(ListHasFocus());
    EXPECT_TRUE(SelectedRowVisible());

    // Depth first: a subfolder's subfolder, then later folders at a higher level.
    const Spot next[] = {{"Uno", 0}, {"Tres", 0}, {"Zwei", 0}, {"Zwei", 1}};
    for (const Spot& expected : next) {
        Key(Qt::Key_F3);
        EXPECT_EQ(Shown(), expected);
        EXPECT_TRUE(ListHasFocus());
        EXPECT_TRUE(SelectedRowVisible());
    }
    // After the last hit one request shows nothing and says nothing ...
    Key(Qt::Key_F3);
    EXPECT_EQ(Shown(), (Spot{"Zwei", 1}));
    // ... and the next comes back to the first hit.
    Key(Qt::Key_F3);
    EXPECT_EQ(Shown(), (Spot{"Escritorio", 0}));
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join('|').toStdString();
}

TEST_F(SearchWindow, NotFoundIsSaidForEverySearchFromTheTopOnly)
{
    Start();
    Search(QStringLiteral("nowhere at all"));
    Key(Qt::Key_F3);
    Key(Qt::Key_Return); // the focus stayed in the field
    EXPECT_EQ(Messages(), QStringList(3, QStringLiteral("Item not found!")));
    ASSERT_EQ(m_env.m_ui->m_messages.size(), 3u);
    EXPECT_EQ(m_env.m_ui->m_messages[0].buttons, CUi::MB_OK);
    EXPECT_EQ(Tree()->SelectedFolder(), &Doc().m_root);
    EXPECT_TRUE(List()->SelectedRows().empty());
}

TEST_F(SearchWindow, FindThenFindNextStartsAtTheTopWithTheSameText)
{
    Start();
    Search(QStringLiteral("alpha"));
    Key(Qt::Key_F3);
    ASSERT_EQ(Shown(), (Spot{"Uno", 0}));
    Key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(m_bar->Edit()->hasFocus());
    EXPECT_EQ(m_bar->Edit()->selectedText(), QStringLiteral("alpha"));
    Key(Qt::Key_F3);
    EXPECT_EQ(Shown(), (Spot{"Escritorio", 0}));
}

TEST_F(SearchWindow, TextChangedOnlyInCaseStartsAtTheTop)
{
    Start();
    Search(QStringLiteral("alpha"));
    Key(Qt::Key_F3);
    Key(Qt::Key_F3);
    ASSERT_EQ(Shown(), (Spot{"Tres", 0}));
    // Typed over the selected text without the find command.
    m_bar->Edit()->setFocus();
    m_bar->Edit()->selectAll();
    QTest::keyClicks(m_bar->Edit(), QStringLiteral("ALPHA"));
    Key(Qt::Key_Return);
    EXPECT_EQ(Shown(), (Spot{"Escritorio", 0}));
}

TEST_F(SearchWindow, ContinuationStartsInTheFolderSelectedSinceTheLastHit)
{
    Start();
    Search(QStringLiteral("alpha"));
    ASSERT_EQ(Shown(), (Spot{"Escritorio", 0}));
    // Another folder chosen in the tree: the search goes on there after row 0.
    ASSERT_TRUE(Tree()->SelectFolder(Doc().m_root.m_pFirstChild->m_pNext)); // Zwei
    Key(Qt::Key_F3);
    EXPECT_EQ(Shown(), (Spot{"Zwei", 1}));
}

// The trash and the check folder: never from the top, but a continuation that starts
// inside one goes through it.
class BuiltInFolders : public SearchWindow, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(BuiltInFolders, SearchedOnlyWhenAContinuationStartsInside)
{
    Start();
    const std::string name = GetParam();
    CFolderNode* folder = name == "Papelera" ? &Doc().m_trash : &Doc().m_check;

    Search(QString::fromLatin1(name == "Papelera" ? "aaa trash" : "aaa check"));
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("Item not found!")});

    Search(QStringLiteral("tonic"));
    ASSERT_EQ(Shown(), (Spot{"Escritorio", 1}));
    Key(Qt::Key_F3); // nothing more below the root
    Key(Qt::Key_F3);
    ASSERT_EQ(Shown(), (Spot{"Escritorio", 1}));
    // The continuation goes on in the built-in folder after row 1: its row 2 is a hit.
    ASSERT_TRUE(Tree()->SelectFolder(folder));
    Key(Qt::Key_F3);
    EXPECT_EQ(Shown(), (Spot{name, 2}));
    EXPECT_TRUE(ListHasFocus());
    // Nothing after it; then the top again, which leaves the folder out.
    Key(Qt::Key_F3);
    EXPECT_EQ(Shown(), (Spot{name, 2}));
    Key(Qt::Key_F3);
    EXPECT_EQ(Shown(), (Spot{"Escritorio", 1}));
    EXPECT_EQ(Messages().size(), 1);
}

TEST_F(SearchWindow, AFolderMovedIntoTheTrashYieldsNoHitTheListCannotShow)
{
    Start();
    // "Zwei" goes onto the trash as a drag would put it: with its bookmarks, and out
    // of the tree.
    CKivDoc& doc = Doc();
    CFolderNode* zwei = doc.m_root.m_pFirstChild->m_pNext;
    ASSERT_EQ(zwei->m_strName, "Zwei");
    doc.InsertFolder(&doc.m_trash, doc.DetachFolder(zwei));
    doc.UpdateAllViews(nullptr, HINT_SYNC_FOLDER, &doc.m_root);

    Search(QStringLiteral("alpha"));
    ASSERT_EQ(Shown(), (Spot{"Escritorio", 0}));
    ASSERT_TRUE(Tree()->SelectFolder(&doc.m_trash));
    // The trash's own list holds no "alpha"; its hidden folder's hits are not shown
    // as some other row of the trash.
    Key(Qt::Key_F3);
    EXPECT_EQ(Tree()->SelectedFolder(), &doc.m_trash);
    EXPECT_TRUE(List()->SelectedRows().empty());
    EXPECT_TRUE(doc.m_bFindFromTop);
}

INSTANTIATE_TEST_SUITE_P(Folders, BuiltInFolders, ::testing::Values("Papelera", "Comprobar"),
                         [](const auto& info) { return std::string(info.param); });

// --- the field menu ------------------------------------------------------------------------

class FieldMenu : public SearchWindow
{
protected:
    // Opens the menu from the keyboard: Ctrl+F, Tab to ">", Space.
    QMenu* Open()
    {
        Key(Qt::Key_F, Qt::ControlModifier);
        Key(Qt::Key_Tab);
        EXPECT_TRUE(m_bar->FieldsButton()->hasFocus());
        Key(Qt::Key_Space);
        QMenu* menu = m_bar->LastMenu();
        if (menu) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
        }
        return menu;
    }
    QStringList Checked(QMenu* menu)
    {
        QStringList out;
        for (QAction* a : menu->actions())
            if (a->isChecked())
                out << a->text();
        return out;
    }
    // Clicks the item with this text; the menu closes.
    void Choose(const QString& text)
    {
        QMenu* menu = Open();
        ASSERT_TRUE(menu);
        for (QAction* a : menu->actions())
            if (a->text() == text) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
                QApplication::processEvents();
                EXPECT_FALSE(menu->isVisible());
                return;
            }
        FAIL() << "no item " << text.toStdString();
    }
};

TEST_F(FieldMenu, OpensAtTheButtonsTopRightWithTheFlagsChecked)
{
    Start();
    for (int width : {900, 520}) {
        m_frame->resize(width, 500);
        QApplication::processEvents();
        QMenu* menu = Open();
        ASSERT_TRUE(menu);
        QPushButton* button = m_bar->FieldsButton();
        EXPECT_EQ(menu->geometry().topLeft(), button->mapToGlobal(QPoint(button->width(), 0)))
            << "window width " << width;
        EXPECT_EQ(Checked(menu), (QStringList{QStringLiteral("Nombre"), QStringLiteral("Url")}));
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << a->text();
        EXPECT_EQ(texts, (QStringList{QStringLiteral("Nombre"), QStringLiteral("Url"),
                                      QStringLiteral("Comentario")}));
        menu->close();
    }
}

TEST_F(FieldMenu, EachItemFlipsItsFlagAndItsCheck)
{
    Start();
    Choose(QStringLiteral("Comentario"));
    EXPECT_TRUE(m_app->m_bFindInComment);
    Choose(QStringLiteral("Nombre"));
    EXPECT_FALSE(m_app->m_bFindInName);
    Choose(QStringLiteral("Url"));
    EXPECT_FALSE(m_app->m_bFindInUrl);
    QMenu* menu = Open();
    ASSERT_TRUE(menu);
    EXPECT_EQ(Checked(menu), QStringList{QStringLiteral("Comentario")});
    menu->close();
    Choose(QStringLiteral("Comentario"));
    EXPECT_FALSE(m_app->m_bFindInComment);
    // With every field off nothing can be found.
    Search(QStringLiteral("alpha"));
    EXPECT_EQ(Messages(), QStringList{QStringLiteral("Item not found!")});
}

// Only one field on (chosen in the menu): a text that lives in one field only.
struct FieldCase
{
    const char* keep; // the one field left on
    const char* text;
    bool found;
};

class FieldChoice : public FieldMenu, public ::testing::WithParamInterface<FieldCase>
{
};

TEST_P(FieldChoice, OnlyTheChosenFieldIsSearched)
{
    Start();
    const QString keep = QString::fromLatin1(GetParam().keep);
    // Start: name and URL on, comment off.
    if (keep != QLatin1String("Nombre"))
        Choose(QStringLiteral("Nombre"));
    if (keep != QLatin1String("Url"))
        Choose(QStringLiteral("Url"));
    if (keep == QLatin1String("Comentario"))
        Choose(QStringLiteral("Comentario"));
    Search(QString::fromLatin1(GetParam().text));
    if (GetParam().found) {
        EXPECT_TRUE(Messages().isEmpty());
        EXPECT_EQ(Shown(), (Spot{"Zwei", 2}));
    } else {
        EXPECT_EQ(Messages(), QStringList{QStringLiteral("Item not found!")});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldChoice,
    ::testing::Values(FieldCase{"Nombre", "NAMEONLY", true}, FieldCase{"Nombre", "urlonly", false},
                      FieldCase{"Nombre", "commentonly", false}, FieldCase{"Url", "URLONLY", true},
                      FieldCase{"Url", "nameonly", false}, FieldCase{"Url", "commentonly", false},
                      FieldCase{"Comentario", "CommentOnly", true},
                      FieldCase{"Comentario", "nameonly", false},
                      FieldCase{"Comentario", "urlonly", false}),
    [](const auto& info) { return std::string(info.param.keep) + "_" + info.param.text; });

// --- keyboard in the bar -------------------------------------------------------------------

struct TabKey
{
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
};

class TabCycle : public SearchWindow, public ::testing::WithParamInterface<TabKey>
{
};

TEST_P(TabCycle, RunsEditThenFieldsThenFindNextThenEdit)
{
    Start();
    Key(Qt::Key_F, Qt::ControlModifier);
    const QWidget* order[]
        = {m_bar->FieldsButton(), m_bar->FindNextButton(), m_bar->Edit(), m_bar->FieldsButton()};
    for (const QWidget* expected : order) {
        Key(GetParam().key, GetParam().mods);
        EXPECT_EQ(QApplication::focusWidget(), expected)
            << (QApplication::focusWidget()
                    ? QApplication::focusWidget()->objectName().toStdString()
                    : std::string("(none)"));
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, TabCycle,
                         ::testing::Values(TabKey{"Tab", Qt::Key_Tab, Qt::NoModifier},
                                           TabKey{"ShiftTab", Qt::Key_Tab, Qt::ShiftModifier},
                                           TabKey{"Backtab", Qt::Key_Backtab, Qt::ShiftModifier}),
                         [](const auto& info) { return std::string(info.param.name); });

// Enter anywhere in the bar is find next, like the button; never the ">" menu.
class EnterKey : public SearchWindow, public ::testing::WithParamInterface<int>
{
};

TEST_P(EnterKey, RunsFindNextFromEveryControl)
{
    Start();
    Search(QStringLiteral("alpha"));
    ASSERT_EQ(Shown(), (Spot{"Escritorio", 0}));
    // Back into the field without the find command, which would restart the search.
    m_bar->Edit()->setFocus(Qt::MouseFocusReason);
    for (int i = 0; i < GetParam(); ++i)
        Key(Qt::Key_Tab);
    QMenu* before = m_bar->LastMenu();
    Key(Qt::Key_Enter);
    EXPECT_EQ(Shown(), (Spot{"Uno", 0}));
    EXPECT_EQ(m_bar->LastMenu(), before);
}

INSTANTIATE_TEST_SUITE_P(Controls, EnterKey, ::testing::Values(0, 1, 2));

TEST_F(SearchWindow, FindNextButtonRunsFindNext)
{
    Start();
    Search(QStringLiteral("alpha"));
    QTest::mouseClick(m_bar->FindNextButton(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(Shown(), (Spot{"Uno", 0}));
}

// --- the bar in the window -----------------------------------------------------------------

TEST_F(SearchWindow, FindShowsAHiddenBarAndSelectsTheWholeText)
{
    Start();
    m_bar->Edit()->setText(QStringLiteral("kept text"));
    ASSERT_FALSE(m_frame->SearchBarBand()->isVisibleTo(m_frame));
    EXPECT_EQ(m_app->Router().Update(ID_VIEW_SEARCHBAR).m_nCheck, 0);
    Key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(m_frame->SearchBarBand()->isVisible());
    EXPECT_EQ(m_app->Router().Update(ID_VIEW_SEARCHBAR).m_nCheck, 1);
    EXPECT_TRUE(m_bar->Edit()->hasFocus());
    EXPECT_EQ(m_bar->Edit()->selectedText(), QStringLiteral("kept text"));
    EXPECT_EQ(m_frame->GetSearchText(), QStringLiteral("kept text"));
    EXPECT_EQ(m_bar->m_strSearchText, QStringLiteral("kept text"));

    // Hiding and showing again keeps the text; find on a shown bar keeps it shown.
    ASSERT_TRUE(m_app->Router().Execute(ID_VIEW_SEARCHBAR));
    EXPECT_FALSE(m_frame->SearchBarBand()->isVisibleTo(m_frame));
    ASSERT_TRUE(m_app->Router().Execute(ID_VIEW_SEARCHBAR));
    Key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(m_frame->SearchBarBand()->isVisible());
    EXPECT_EQ(m_bar->Edit()->text(), QStringLiteral("kept text"));
}

// Every control shows its whole text inside the bar, in template order without
// overlap, and the whole bar shows in its band below the toolbar, at any width that
// leaves room for it.
TEST_F(SearchWindow, BarShowsEveryControlWholeBelowTheToolbar)
{
    Start();
    Key(Qt::Key_F, Qt::ControlModifier);
    for (int width : {1000, 640, 480}) {
        m_frame->resize(width, 480);
        QApplication::processEvents();
        SCOPED_TRACE(width);
        const QWidget* controls[] = {m_bar->findChild<QLabel*>(), m_bar->Edit(),
                                     m_bar->FieldsButton(), m_bar->FindNextButton()};
        int right = 0;
        for (const QWidget* c : controls) {
            ASSERT_TRUE(c);
            EXPECT_TRUE(c->isVisible());
            EXPECT_TRUE(m_bar->rect().contains(c->geometry())) << c->objectName().toStdString();
            EXPECT_GE(c->x(), right);
            right = c->geometry().right();
        }
        for (const QPushButton* b : {m_bar->FieldsButton(), m_bar->FindNextButton()})
            EXPECT_GT(b->width(), b->fontMetrics().horizontalAdvance(b->text()) + 4);
        EXPECT_GE(m_bar->FindNextButton()->height(),
                  m_bar->FindNextButton()->fontMetrics().height());

        QToolBar* band = m_frame->SearchBarBand();
        EXPECT_TRUE(m_bar->isVisible());
        const QRect inBand(m_bar->mapTo(band, QPoint(0, 0)), m_bar->size());
        EXPECT_TRUE(band->rect().contains(inBand));
        const QWidget* toolbar = m_frame->findChild<QToolBar*>(QStringLiteral("bar59392"));
        ASSERT_TRUE(toolbar);
        EXPECT_GE(band->y(), toolbar->geometry().bottom());
    }
}

// The bar's visibility at start-up: kept from the last close only with "KeepWndSize".
struct StartCase
{
    const char* name;
    int keepWndSize;
    int searchBar; // -1: never written
    bool visible;
};

class BarAtStart : public SearchWindow, public ::testing::WithParamInterface<StartCase>
{
};

TEST_P(BarAtStart, FollowsTheStoredStateOnlyWhenTheSizeIsKept)
{
    SetSetting(QStringLiteral("Pref/KeepWndSize"), GetParam().keepWndSize);
    if (GetParam().searchBar >= 0)
        SetSetting(QStringLiteral("WndSize/SearchBar"), GetParam().searchBar);
    Start();
    EXPECT_EQ(m_frame->SearchBarBand()->isVisibleTo(m_frame), GetParam().visible);
    EXPECT_EQ(m_app->Router().Update(ID_VIEW_SEARCHBAR).m_nCheck, GetParam().visible ? 1 : 0);
    // The state at close is written whatever "KeepWndSize" says.
    ASSERT_TRUE(m_app->Router().Execute(ID_VIEW_SEARCHBAR));
    m_frame->SaveWindowState();
    EXPECT_EQ(Setting(QStringLiteral("WndSize/SearchBar")).toInt(), GetParam().visible ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Settings, BarAtStart,
                         ::testing::Values(StartCase{"KeptShown", 1, 1, true},
                                           StartCase{"KeptHidden", 1, 0, false},
                                           StartCase{"KeptNeverWritten", 1, -1, true},
                                           StartCase{"NotKeptShown", 0, 1, false},
                                           StartCase{"NotKeptNeverWritten", 0, -1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
