// How fast the two panes follow the document: a folder of 100,000 bookmarks shown in
// the list after its selection, and a tree of 10,000 folders filled and painted.
#include "CollectionGen.h"
#include "res/Commands.h"
#include "app/KivApp.h"
#include "model/KivDoc.h"
#include "views/KivView.h"
#include "views/LeftView.h"

#include <QApplication>
#include <QSplitter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

struct Window
{
    Window()
    {
        splitter.resize(1000, 700);
        tree = new CLeftView(doc, &splitter);
        list = new CKivView(doc, &splitter);
        splitter.addWidget(tree);
        splitter.addWidget(list);
        splitter.show();
    }
    void Paint()
    {
        splitter.repaint();
        QApplication::processEvents();
    }
    CKivDoc doc;
    QSplitter splitter;
    CLeftView* tree;
    CKivView* list;
};

void BM_ListShowsLargeFolder(benchmark::State& state)
{
    Window w;
    w.list->SetListStyle(static_cast<int>(state.range(1)));
    w.doc.OnNewDocument();
    CFolderNode* big = w.doc.CreateFolder(&w.doc.m_root, "big", false);
    for (int64_t k = 0; k < state.range(0); ++k) {
        const std::string n = "bookmark " + std::to_string(k);
        w.doc.AddBookmark(("http://example.org/" + n).c_str(), n.c_str(), "", big, false);
    }
    w.doc.SendInitialUpdate();
    w.Paint();
    int rows = 0;
    for (auto _ : state) {
        w.tree->SelectFolder(big);
        w.Paint();
        state.PauseTiming();
        rows = w.list->RowCount();
        w.tree->SelectFolder(&w.doc.m_root);
        w.Paint();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
// Rows, display style (0 icons, 1 details, 2 small icons, 3 list).
BENCHMARK(BM_ListShowsLargeFolder)
    ->Args({100000, 0})->Args({100000, 1})->Args({100000, 2})->Args({100000, 3})
    ->Unit(benchmark::kMillisecond);

// Select all, then Delete, in the list of a folder of 1,000,000 bookmarks whose names
// repeat (500 distinct names): from the key press until the rows are gone.
void BM_DeleteEveryRowOfAHugeFolder(benchmark::State& state)
{
    const QString path = KivBench::FileFor(KivBench::OneFolder500Names());
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>();
        if (!w->doc.OpenDocumentFile(path) || !w->doc.m_root.m_pFirstChild) {
            state.SkipWithError("load failed");
            break;
        }
        w->doc.SendInitialUpdate();
        w->tree->SelectFolder(w->doc.m_root.m_pFirstChild);
        w->Paint();
        w->list->OnCmdMsg(ID_EDIT_SELECT_ALL);
        state.ResumeTiming();
        w->list->OnCmdMsg(ID_ITEM_DELETE);
        w->Paint();
        state.PauseTiming();
        state.counters["rows_left"] = w->list->RowCount();
        state.counters["trash"] = double(w->doc.m_trash.m_aBookmarks.size());
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteEveryRowOfAHugeFolder)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_TreeFillsLargeTree(benchmark::State& state)
{
    Window w;
    w.doc.OnNewDocument();
    const int64_t perLevel = 100;
    for (int64_t i = 0; i < state.range(0) / perLevel; ++i) {
        CFolderNode* top = w.doc.CreateFolder(&w.doc.m_root, "folder " + std::to_string(i), false);
        for (int64_t j = 1; j < perLevel; ++j)
            w.doc.CreateFolder(top, "sub " + std::to_string(j), false);
    }
    for (auto _ : state) {
        w.doc.SendInitialUpdate();
        w.Paint();
    }
}
BENCHMARK(BM_TreeFillsLargeTree)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CKivApp kiv;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
