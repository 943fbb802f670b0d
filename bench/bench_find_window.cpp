// Find next in the real window over the wide collection (1,000,000 bookmarks,
// 100,000 folders): a request with no hit, and requests whose hit is shown, the folder
// selected in the tree, the row selected and scrolled into view in the list, painted.
#include "CollectionGen.h"

#include "res/Commands.h"
#include "app/KivApp.h"
#include "frame/MainFrame.h"
#include "frame/SearchBar.h"
#include "framework/ScriptedUi.h"
#include "model/KivDoc.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Window
{
    Window()
    {
        // Settings of this run stay in a temporary folder.
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", config.path().toLocal8Bit());
        app = std::make_unique<CKivApp>();
        const QString path = KivBench::FileFor(KivBench::Wide());
        if (path.isEmpty() || !app->InitInstance({path}))
            return;
        frame = app->GetMainFrame();
        frame->resize(1000, 700);
        frame->show();
        Paint();
        CKivDoc& doc = app->Document();
        // Three marked bookmarks: the last folder of the tree, the last row of the
        // root (about 50,000 rows), and a folder in the middle of the tree.
        CFolderNode* last = doc.m_root.m_pFirstChild;
        while (last->m_pNext || last->m_pFirstChild)
            last = last->m_pNext ? last->m_pNext : last->m_pFirstChild;
        CFolderNode* middle = doc.m_root.m_pFirstChild;
        for (int i = 0; i < 50 && middle->m_pNext; ++i)
            middle = middle->m_pNext;
        middle = middle->m_pFirstChild ? middle->m_pFirstChild : middle;
        doc.AddBookmark("http://marked.example/last", "marked in the last folder", "", last, false);
        doc.AddBookmark("http://marked.example/root", "zzzz marked at the root", "", &doc.m_root,
                        false);
        doc.AddBookmark("http://marked.example/middle", "marked in the middle", "", middle, false);
        away = doc.m_root.m_pFirstChild;
        ok = true;
    }
    void Paint()
    {
        frame->repaint();
        QApplication::processEvents();
    }
    // Find (57636) then the text and find next (32786), as Ctrl+F, typing and Enter.
    void FindFromTop(const QString& text)
    {
        app->Router().Execute(ID_EDIT_FIND);
        frame->SearchBar()->Edit()->setText(text);
        app->Router().Execute(ID_FIND_NEXT);
        Paint();
    }

    QTemporaryDir config;
    CScriptedUi ui;
    std::unique_ptr<CKivApp> app;
    CMainFrame* frame = nullptr;
    CFolderNode* away = nullptr;
    bool ok = false;
};

Window& TheWindow()
{
    static Window* w = new Window; // lives to the end of the run
    return *w;
}

void FindNextNoHit(benchmark::State& state)
{
    Window& w = TheWindow();
    if (!w.ok) {
        state.SkipWithError("the collection did not open");
        return;
    }
    for (auto _ : state)
        w.FindFromTop(QStringLiteral("no such text anywhere"));
    if (w.ui.m_messages.empty() || w.ui.m_messages.back().text != QLatin1String("Item not found!"))
        state.SkipWithError("no \"Item not found!\"");
    state.counters["bookmarks"] = w.app->Document().BookmarkCount();
    w.ui.m_messages.clear();
}

// Arg: 0 the last folder of the tree, 1 the last row of the root, 2 a middle folder.
void FindNextHitShown(benchmark::State& state)
{
    Window& w = TheWindow();
    if (!w.ok) {
        state.SkipWithError("the collection did not open");
        return;
    }
    const char* texts[] = {"MARKED IN THE LAST", "zzzz marked", "marked in the middle"};
    const QString text = QString::fromLatin1(texts[state.range(0)]);
    CLeftView* tree = w.frame->GetLeftPane();
    CKivView* list = w.frame->GetRightPane();
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        tree->SelectFolder(w.away);
        w.Paint();
        state.ResumeTiming();
        w.FindFromTop(text);
        state.PauseTiming();
        QAbstractItemView* view = list->ItemView();
        const QModelIndex current = view->currentIndex();
        const CFolderNode* folder = w.app->Document().m_pCurFolder;
        if (list->SelectedRows().size() != 1 || tree->SelectedFolder() != folder
            || !view->viewport()->rect().intersects(view->visualRect(current))
            || !w.app->Document()
                    .Bookmark(folder->m_aBookmarks[current.row()])
                    .m_strUrl.starts_with("http://marked.example/")) {
            state.SkipWithError("the hit is not shown");
            break;
        }
        rows = list->RowCount();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}

} // namespace

BENCHMARK(FindNextNoHit)->Unit(benchmark::kMillisecond);
BENCHMARK(FindNextHitShown)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
