// The exchange formats at browser sizes: a 100,000-bookmark Chromium-style export in
// 500 folders, 20,000 shortcut files in 500 folders, compare of three such sources
// against the wide 1M collection, and a find-next with no hit over that collection.

#include "CollectionGen.h"
#include "LiteralModel.h"

#include "formats/Compare.h"
#include "formats/Favorites.h"
#include "formats/Netscape.h"
#include "formats/Opera.h"
#include "model/KivDoc.h"
#include "formats/Find.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kBookmarks = 100000;
constexpr int kFolders = 500;
constexpr int kShortcuts = 20000;

// Everything the benchmarks read, written once.
struct Inputs
{
    QTemporaryDir dir;
    QString netscape, opera, favorites;

    Inputs()
    {
        netscape = dir.filePath(QStringLiteral("chrome.html"));
        opera = dir.filePath(QStringLiteral("export.adr"));
        favorites = dir.filePath(QStringLiteral("Favorites"));
        WriteChromeExport();
        CKivDoc doc;
        ImportNetscape(doc, netscape);
        ExportOpera(doc, opera, [] { return int64_t(1700000000); });
        WriteFavorites();
    }

    // Folders of 200 bookmarks each, every line with ADD_DATE and a favicon as data.
    void WriteChromeExport()
    {
        const std::string icon
            = "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAB"
              + std::string(600, 'Q') + "AASUVORK5CYII=";
        std::string text = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<!-- This is an automatically "
                           "generated file. -->\n<META HTTP-EQUIV=\"Content-Type\" "
                           "CONTENT=\"text/html; charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n"
                           "<H1>Bookmarks</H1>\n<DL><p>\n";
        const int perFolder = kBookmarks / kFolders;
        for (int f = 0; f < kFolders; ++f) {
            text += "    <DT><H3 ADD_DATE=\"1690000000\" LAST_MODIFIED=\"1690000001\">Folder "
                    + std::to_string(f * 7919 % kFolders) + "</H3>\n    <DL><p>\n";
            for (int b = 0; b < perFolder; ++b) {
                const int n = f * perFolder + b;
                text += "        <DT><A HREF=\"https://site" + std::to_string(n % 9973)
                        + ".example.com/path/" + std::to_string(n)
                        + "?ref=bookmarks\" "
                          "ADD_DATE=\"1690000"
                        + std::to_string(n % 1000) + "\" ICON=\"" + icon + "\">Page "
                        + std::to_string(n * 7 % kBookmarks) + " of site "
                        + std::to_string(n % 9973) + "</A>\n";
            }
            text += "    </DL><p>\n";
        }
        text += "</DL><p>\n";
        QFile file(netscape);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.data(), qint64(text.size()));
    }

    void WriteFavorites()
    {
        const int perFolder = kShortcuts / kFolders;
        for (int f = 0; f < kFolders; ++f) {
            const QString folder = favorites + QStringLiteral("/Folder %1").arg(f);
            QDir().mkpath(folder);
            for (int b = 0; b < perFolder; ++b) {
                const int n = f * perFolder + b;
                QFile file(folder + QStringLiteral("/Shortcut %1.url").arg(n * 7 % kShortcuts));
                if (file.open(QIODevice::WriteOnly))
                    file.write(
                        QStringLiteral("[InternetShortcut]\r\nURL=https://fav%1.example/\r\n")
                            .arg(n)
                            .toUtf8());
            }
        }
    }
};

Inputs& TheInputs()
{
    static Inputs inputs;
    return inputs;
}

CKivDoc& WideDoc()
{
    static CKivDoc doc;
    static const bool loaded = doc.OpenDocumentFile(KivBench::FileFor(KivBench::Wide()));
    (void)loaded;
    return doc;
}

void ImportNetscapeFile(benchmark::State& state)
{
    TheInputs();
    for (auto _ : state) {
        CKivDoc doc;
        if (!ImportNetscape(doc, TheInputs().netscape).Ok())
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(doc.BookmarkCount());
    }
}

void ExportNetscapeFile(benchmark::State& state)
{
    CKivDoc doc;
    ImportNetscape(doc, TheInputs().netscape);
    QTemporaryDir dir;
    for (auto _ : state)
        if (!ExportNetscape(doc, dir.filePath(QStringLiteral("out.html"))).Ok())
            state.SkipWithError("export failed");
}

void ImportOperaFile(benchmark::State& state)
{
    TheInputs();
    for (auto _ : state) {
        CKivDoc doc;
        if (!ImportOpera(doc, TheInputs().opera).Ok())
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(doc.BookmarkCount());
    }
}

void ExportOperaFile(benchmark::State& state)
{
    CKivDoc doc;
    ImportOpera(doc, TheInputs().opera);
    QTemporaryDir dir;
    for (auto _ : state)
        if (!ExportOpera(doc, dir.filePath(QStringLiteral("out.adr"))).Ok())
            state.SkipWithError("export failed");
}

void ImportFavoritesFolder(benchmark::State& state)
{
    TheInputs();
    for (auto _ : state) {
        CKivDoc doc;
        ImportShortcuts(doc, TheInputs().favorites, true, false);
        if (doc.BookmarkCount() != kShortcuts)
            state.SkipWithError("wrong count");
    }
}

void CompareAgainstWide(benchmark::State& state)
{
    CKivDoc& doc = WideDoc();
    const CompareSources sources{TheInputs().favorites, true, TheInputs().netscape,
                                 TheInputs().opera};
    // One run: what it finds joins the table, so a second run would find nothing.
    for (auto _ : state)
        RunCompare(doc, sources);
    state.counters["new"] = double(doc.m_check.m_aBookmarks.size());
    state.counters["bookmarks"] = doc.BookmarkCount();
}

// The model work a literal import does for the same collection — a URL scan per add, a
// backward scan per link, sibling walks per folder — replayed from an imported copy in
// folder pre-order. Reading the file is not counted, so this is a lower bound of the
// literal import to hold the real imports against.
void ReplayInto(KivLiteral::Doc& out, KivLiteral::Folder* parent, const CKivDoc& doc,
                const CFolderNode& folder)
{
    for (const CFolderNode* c = folder.m_pFirstChild; c; c = c->m_pNext) {
        KivLiteral::Folder* f = out.CreateFolder(parent, c->m_strName);
        for (uint32_t i : c->m_aBookmarks)
            out.AddBookmark(doc.Bookmark(i).m_strUrl, doc.Bookmark(i).m_strName, f);
        ReplayInto(out, f, doc, *c);
    }
}

void LiteralModelOfImport(benchmark::State& state, bool favorites)
{
    CKivDoc doc;
    if (favorites)
        ImportShortcuts(doc, TheInputs().favorites, true, false);
    else
        ImportNetscape(doc, TheInputs().netscape);
    for (auto _ : state) {
        KivLiteral::Doc literal;
        ReplayInto(literal, &literal.root, doc, doc.m_root);
        benchmark::DoNotOptimize(literal.bookmarks.size());
    }
    state.counters["bookmarks"] = double(doc.BookmarkCount());
}

// A literal compare scans the whole table for every source URL. Measured over the
// first 1,000 URLs of the three sources against the 1M collection; the counter
// projects it to all of them.
void LiteralCompareLookups(benchmark::State& state)
{
    CKivDoc& doc = WideDoc();
    CKivDoc sources;
    ImportNetscape(sources, TheInputs().netscape);
    const size_t sample = 1000;
    for (auto _ : state)
        for (size_t k = 0; k < sample; ++k)
            benchmark::DoNotOptimize(
                KivLiteral::FindUrl(doc.Bookmarks(), sources.Bookmark(uint32_t(k)).m_strUrl));
    const double allUrls = 2.0 * kBookmarks + kShortcuts;
    // Per-iteration time divided by sample/allUrls: the time for every source URL.
    state.counters["projected_s"] = benchmark::Counter(
        double(sample) / allUrls,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void FindNoHitWide(benchmark::State& state)
{
    CKivDoc& doc = WideDoc();
    for (auto _ : state) {
        BeginFind(doc);
        const FindStep step = FindNext(doc, "no such text anywhere", FindFields{true, true, false});
        benchmark::DoNotOptimize(step.outcome);
    }
    state.counters["bookmarks"] = doc.BookmarkCount();
}

} // namespace

BENCHMARK(ImportNetscapeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportNetscapeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportOperaFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportOperaFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportFavoritesFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(CompareAgainstWide)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(FindNoHitWide)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LiteralModelOfImport, netscape_or_opera_100k, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(LiteralModelOfImport, favorites_20k, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(LiteralCompareLookups)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
