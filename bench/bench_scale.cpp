// One very large folder whose names repeat: the operations a user runs on it, at
// 1,000,000 bookmarks with names all distinct, 500 distinct names, or one name.
// Moving every row to the trash, cutting 100,000 rows and pasting them into a
// folder of 900,000, importing 100,000 bookmarks of one name, a find with no hit.
// (Loading these collections is in bench_file.)

#include "CollectionGen.h"

#include "formats/Netscape.h"
#include "model/KivDoc.h"
#include "views/Clipboard.h"
#include "formats/Find.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// The document of a shape, loaded afresh; its one folder is the root's first child.
std::unique_ptr<CKivDoc> Loaded(const KivBench::Shape& shape)
{
    auto doc = std::make_unique<CKivDoc>();
    if (!doc->OpenDocumentFile(KivBench::FileFor(shape)) || !doc->m_root.m_pFirstChild)
        return nullptr;
    return doc;
}

// The same inside a timed loop, with the timing paused; the run fails without it.
std::unique_ptr<CKivDoc> LoadedUntimed(benchmark::State& state, const KivBench::Shape& shape)
{
    state.PauseTiming();
    std::unique_ptr<CKivDoc> doc = Loaded(shape);
    if (!doc)
        state.SkipWithError("load failed");
    return doc;
}

// Select all, delete: every bookmark of the folder into the trash.
void TrashAll(benchmark::State& state, const KivBench::Shape& shape)
{
    for (auto _ : state) {
        std::unique_ptr<CKivDoc> doc = LoadedUntimed(state, shape);
        if (!doc)
            break;
        CFolderNode* folder = doc->m_root.m_pFirstChild;
        const std::vector<uint32_t> all = folder->m_aBookmarks;
        state.ResumeTiming();
        doc->MoveBookmarks(folder, &doc->m_trash, all, false);
        benchmark::DoNotOptimize(doc->m_trash.m_aBookmarks.size());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

// Every tenth bookmark of the folder is moved to a second folder first (so the two
// interleave in name order); then those 100,000 are cut and pasted into the folder
// holding the other 900,000.
void CutPaste(benchmark::State& state, const KivBench::Shape& shape)
{
    for (auto _ : state) {
        std::unique_ptr<CKivDoc> doc = LoadedUntimed(state, shape);
        if (!doc)
            break;
        CFolderNode* big = doc->m_root.m_pFirstChild;
        CFolderNode* source = doc->CreateFolder(&doc->m_root, "source", false);
        std::vector<uint32_t> tenth;
        for (size_t k = 0; k < big->m_aBookmarks.size(); k += 10)
            tenth.push_back(big->m_aBookmarks[k]);
        doc->MoveBookmarks(big, source, tenth, false);
        const std::vector<uint32_t> rows = source->m_aBookmarks;
        // The first URL lookup after a load builds the URL index (UrlIndexAfterLoad).
        doc->AddBookmark(doc->Bookmark(0).m_strUrl.c_str(), "", "", nullptr, true);
        state.ResumeTiming();
        const QByteArray payload = KivClipboard::CopyBookmarks(*doc, rows);
        doc->MoveBookmarks(source, &doc->m_trash, rows, false);
        const KivClipboard::CPasteResult pasted = KivClipboard::PastePayload(*doc, big, payload);
        state.PauseTiming();
        if (pasted.added != rows.size() || big->m_aBookmarks.size() != 1000000)
            state.SkipWithError("not all pasted");
        doc.reset();
        state.ResumeTiming();
    }
}

// The URL index a load leaves to the first lookup: what the first add or paste after
// opening the file pays once.
void UrlIndexAfterLoad(benchmark::State& state, const KivBench::Shape& shape)
{
    for (auto _ : state) {
        std::unique_ptr<CKivDoc> doc = LoadedUntimed(state, shape);
        if (!doc)
            break;
        state.ResumeTiming();
        // In check mode a known URL changes nothing.
        doc->AddBookmark(doc->Bookmark(0).m_strUrl.c_str(), "", "", nullptr, true);
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

void ImportOneName(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one-name.html"));
    std::string text = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n"
                       "<H1>Bookmarks</H1>\n<DL><p>\n    <DT><H3>Read later</H3>\n    <DL><p>\n";
    for (int n = 0; n < 100000; ++n)
        text += "        <DT><A HREF=\"https://site" + std::to_string(n % 9973) + ".example.com/"
                + std::to_string(n) + "\" ADD_DATE=\"1690000000\">Home</A>\n";
    text += "    </DL><p>\n</DL><p>\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) < 0) {
        state.SkipWithError("cannot write the file");
        return;
    }
    file.close();
    for (auto _ : state) {
        CKivDoc doc;
        if (!ImportNetscape(doc, path).Ok())
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(doc.BookmarkCount());
        state.PauseTiming();
        doc.DeleteContents();
        state.ResumeTiming();
    }
}

void FindNoHit(benchmark::State& state, const KivBench::Shape& shape)
{
    std::unique_ptr<CKivDoc> doc = Loaded(shape);
    if (!doc) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        BeginFind(*doc);
        const FindStep step
            = FindNext(*doc, "no such text anywhere", FindFields{true, true, false});
        benchmark::DoNotOptimize(step.outcome);
    }
}

BENCHMARK_CAPTURE(TrashAll, distinct, KivBench::OneFolderDistinct())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(TrashAll, names500, KivBench::OneFolder500Names())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(TrashAll, one_name, KivBench::OneFolderOneName())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(CutPaste, distinct, KivBench::OneFolderDistinct())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(CutPaste, names500, KivBench::OneFolder500Names())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(CutPaste, one_name, KivBench::OneFolderOneName())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(UrlIndexAfterLoad, names500, KivBench::OneFolder500Names())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(ImportOneName)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(FindNoHit, wide, KivBench::Wide())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindNoHit, distinct, KivBench::OneFolderDistinct())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindNoHit, names500, KivBench::OneFolder500Names())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindNoHit, one_name, KivBench::OneFolderOneName())->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
