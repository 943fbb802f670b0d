// Loading and saving whole collections: the wide 1M file, the deep chain, and the
// plain algorithms side by side with the indexed model at 100,000 bookmarks.

#include "CollectionGen.h"
#include "LiteralModel.h"

#include "model/KivDoc.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void Load(benchmark::State& state, const KivBench::Shape& shape)
{
    const QString path = KivBench::FileFor(shape);
    if (path.isEmpty()) {
        state.SkipWithError("cannot write the collection file");
        return;
    }
    for (auto _ : state) {
        CKivDoc doc;
        if (!doc.OpenDocumentFile(path))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc.BookmarkCount());
        state.PauseTiming(); // tearing the document down is not part of loading
        doc.DeleteContents();
        state.ResumeTiming();
    }
}

void Save(benchmark::State& state, const KivBench::Shape& shape)
{
    CKivDoc doc;
    if (!doc.OpenDocumentFile(KivBench::FileFor(shape))) {
        state.SkipWithError("load failed");
        return;
    }
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.kiv"));
    for (auto _ : state) {
        if (!doc.DoSave(out))
            state.SkipWithError("save failed");
    }
    state.counters["bytes"] = static_cast<double>(QFile(out).size());
}

// The plain tree built from read tables, timed without tearing it down.
void RebuildLiteralOnce(benchmark::State& state, const CFlatTree& flat)
{
    KivLiteral::Doc doc;
    doc.Rebuild(flat);
    benchmark::DoNotOptimize(doc.bookmarks.size());
    state.PauseTiming(); // tearing the document down is not part of loading
    doc.bookmarks.clear();
    doc.folders.clear();
    state.ResumeTiming();
}

// The plain loader: the same archive, then folders x links and backward scans.
void LoadLiteral(benchmark::State& state, const KivBench::Shape& shape)
{
    QFile file(KivBench::FileFor(shape));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no file");
        return;
    }
    for (auto _ : state) {
        file.seek(0);
        CFlatTree flat;
        KivBench::ReadTables(file, flat);
        RebuildLiteralOnce(state, flat);
        state.PauseTiming(); // the tables' strings: the real load hands them over
        flat.ClearFlat();
        state.ResumeTiming();
    }
}

// The tree built from tables already read: the algorithmic half of a load, apart from
// the reading both loaders share.
bool ReadTables(const KivBench::Shape& shape, CFlatTree& flat)
{
    QFile file(KivBench::FileFor(shape));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    KivBench::ReadTables(file, flat);
    return true;
}

void Rebuild(benchmark::State& state, const KivBench::Shape& shape)
{
    CFlatTree flat;
    if (!ReadTables(shape, flat)) {
        state.SkipWithError("no file");
        return;
    }
    CKivDoc doc;
    for (auto _ : state) {
        state.PauseTiming();
        doc.DeleteContents();
        static_cast<CFlatTree&>(doc) = flat;
        state.ResumeTiming();
        doc.RebuildFromFlat();
        benchmark::DoNotOptimize(doc.BookmarkCount());
    }
}

void RebuildLiteral(benchmark::State& state, const KivBench::Shape& shape)
{
    CFlatTree flat;
    if (!ReadTables(shape, flat)) {
        state.SkipWithError("no file");
        return;
    }
    for (auto _ : state)
        RebuildLiteralOnce(state, flat);
}

BENCHMARK_CAPTURE(Load, wide_1M, KivBench::Wide())->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(Save, wide_1M, KivBench::Wide())->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(Load, one_folder_distinct_1M, KivBench::OneFolderDistinct())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(Load, one_folder_500_names_1M, KivBench::OneFolder500Names())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(Load, one_folder_one_name_1M, KivBench::OneFolderOneName())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
// The same files saved under the C locale: under another locale's collation a load
// sorts every list again (in the C locale these are the files above).
BENCHMARK_CAPTURE(Load, one_folder_distinct_1M_C_order,
                  KivBench::StoredInCOrder(KivBench::OneFolderDistinct()))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(Load, one_folder_500_names_1M_C_order,
                  KivBench::StoredInCOrder(KivBench::OneFolder500Names()))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(Load, one_folder_one_name_1M_C_order,
                  KivBench::StoredInCOrder(KivBench::OneFolderOneName()))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(Load, wide_1M_C_order, KivBench::StoredInCOrder(KivBench::Wide()))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(Load, deep_99, KivBench::Deep())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Save, deep_99, KivBench::Deep())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Load, wide_100k, KivBench::WideTenth())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadLiteral, wide_100k, KivBench::WideTenth())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(Rebuild, wide_100k, KivBench::WideTenth())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RebuildLiteral, wide_100k, KivBench::WideTenth())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
