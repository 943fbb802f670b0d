// Undo and redo in a collection of 1,000,000 bookmarks in one folder: what one
// edit keeps in the history and how long taking it back takes, and undo and redo
// of moving 100,000 rows to the trash or to another folder.

#include "CollectionGen.h"

#include "model/KivDoc.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Recorded
{
    std::unique_ptr<CKivDoc> doc;
    std::vector<std::unique_ptr<CDocStep>> steps;
};

// The collection loaded once for all runs, with the history on.
Recorded& Collection()
{
    static Recorded r = [] {
        Recorded loaded;
        loaded.doc = std::make_unique<CKivDoc>();
        if (!loaded.doc->OpenDocumentFile(KivBench::FileFor(KivBench::OneFolderDistinct())))
            loaded.doc.reset();
        return loaded;
    }();
    if (r.doc && !r.doc->m_onStep)
        r.doc->m_onStep = [&r](std::unique_ptr<CDocStep> s) { r.steps.push_back(std::move(s)); };
    return r;
}

// The collection's one folder, or null after reporting that the load failed.
CFolderNode* TheFolder(benchmark::State& state)
{
    Recorded& r = Collection();
    if (r.doc && r.doc->m_root.m_pFirstChild)
        return r.doc->m_root.m_pFirstChild;
    state.SkipWithError("load failed");
    return nullptr;
}

// One bookmark edited and moved to another place by its new name; the undo is timed.
void BM_UndoOneEdit(benchmark::State& state)
{
    CFolderNode* folder = TheFolder(state);
    if (!folder)
        return;
    Recorded& r = Collection();
    CKivDoc& doc = *r.doc;
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        r.steps.clear();
        const uint32_t i = folder->m_aBookmarks[folder->m_aBookmarks.size() / 2];
        {
            CKivDoc::CStepScope scope(doc);
            doc.EditBookmark(i, "zz edited", std::string(doc.Bookmark(i).m_strUrl), "edited", folder);
        }
        bytes = r.steps.at(0)->Bytes();
        state.ResumeTiming();
        doc.UndoStep(*r.steps[0]);
    }
    state.counters["history_bytes"] = double(bytes);
}
BENCHMARK(BM_UndoOneEdit)->Unit(benchmark::kMillisecond)->Iterations(5);

// 100,000 rows (every tenth) moved to the trash or into a new folder in one step;
// undo and redo each timed on their own.
void UndoRedoRows(benchmark::State& state, bool toTrash, bool redo)
{
    CFolderNode* folder = TheFolder(state);
    if (!folder)
        return;
    Recorded& r = Collection();
    CKivDoc& doc = *r.doc;
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        r.steps.clear();
        std::vector<uint32_t> rows;
        for (size_t k = 0; k < folder->m_aBookmarks.size(); k += 10)
            rows.push_back(folder->m_aBookmarks[k]);
        {
            CKivDoc::CStepScope scope(doc);
            CFolderNode* to = toTrash ? &doc.m_trash : doc.CreateFolder(&doc.m_root, "to", false);
            doc.MoveOrCopyBookmarks(folder, to, rows, false);
        }
        CDocStep& step = *r.steps.at(0);
        bytes = step.Bytes();
        if (redo) {
            doc.UndoStep(step);
            state.ResumeTiming();
            doc.RedoStep(step);
            state.PauseTiming();
            doc.UndoStep(step);
        } else {
            state.ResumeTiming();
            doc.UndoStep(step);
            state.PauseTiming();
        }
        r.steps.clear();
        state.ResumeTiming();
    }
    state.counters["history_bytes"] = double(bytes);
}
BENCHMARK_CAPTURE(UndoRedoRows, undo_trash_100k, true, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(UndoRedoRows, redo_trash_100k, true, true)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(UndoRedoRows, undo_move_100k, false, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(UndoRedoRows, redo_move_100k, false, true)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
