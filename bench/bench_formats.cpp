// The exchange formats at browser sizes: a 100,000-bookmark Chromium-style export in
// 500 folders, 20,000 shortcut files in 500 folders, compare of three such sources
// against the wide 1M collection, and a find-next with no hit over that collection.

#include "CollectionGen.h"

#include "formats/Compare.h"
#include "formats/Favorites.h"
#include "formats/Netscape.h"
#include "formats/Opera.h"
#include "model/KivDoc.h"
#include "views/Find.h"

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

BENCHMARK_MAIN();
