// Imports straight from the browsers at 100,000 bookmarks: a Firefox profile's
// places.sqlite (copied first, as a running browser requires), a Chromium Bookmarks
// file and an XBEL file, each generated in folders of 100; the same Chromium
// collection in one flat folder; and the XBEL export.

#include "BrowserFixtures.h"

#include "browsers/ChromiumBookmarks.h"
#include "browsers/FirefoxPlaces.h"
#include "browsers/Xbel.h"
#include "model/KivDoc.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace BrowserFixtures;

constexpr int kBookmarks = 100000;

struct Inputs
{
    QTemporaryDir dir;
    QString places, bookmarks, flat, xbel;

    Inputs()
    {
        const Node collection = Generated(kBookmarks, 100);
        places = dir.filePath(QStringLiteral("places.sqlite"));
        PlacesRoots roots;
        roots.toolbar = collection;
        // Every tenth bookmark carries a description, as old profiles do.
        for (Node& outer : roots.toolbar.children)
            for (Node& folder : outer.children)
                for (size_t k = 0; k < folder.children.size(); k += 10)
                    folder.children[k].comment = "Saved for later reading";
        WritePlaces(places, roots);
        bookmarks = dir.filePath(QStringLiteral("Bookmarks"));
        Write(bookmarks, ChromiumJson(collection, Folder("", {}), Folder("", {})));
        Node one = Folder("", {});
        for (const Node& outer : collection.children)
            for (const Node& folder : outer.children)
                for (const Node& b : folder.children)
                    one.children.push_back(b);
        flat = dir.filePath(QStringLiteral("Flat"));
        Write(flat, ChromiumJson(Folder("", {}), one, Folder("", {})));
        xbel = dir.filePath(QStringLiteral("bookmarks.xbel"));
        CKivDoc doc;
        ImportChromium(doc, bookmarks);
        ExportXbel(doc, xbel);
    }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
};

Inputs& TheInputs()
{
    static Inputs inputs;
    return inputs;
}

template<typename Import>
void RunImport(benchmark::State& state, const QString& path, Import import)
{
    for (auto _ : state) {
        CKivDoc doc;
        doc.OnNewDocument();
        if (!import(doc, path).Ok() || doc.BookmarkCount() != uint32_t(kBookmarks))
            state.SkipWithError("import failed");
    }
    state.counters["bookmarks"] = kBookmarks;
}

void ImportFirefoxProfile(benchmark::State& state)
{
    RunImport(state, TheInputs().places, ImportFirefox);
}

void ImportChromiumProfile(benchmark::State& state)
{
    RunImport(state, TheInputs().bookmarks, ImportChromium);
}

void ImportChromiumOneFlatFolder(benchmark::State& state)
{
    RunImport(state, TheInputs().flat, ImportChromium);
}

void ImportXbelFile(benchmark::State& state)
{
    RunImport(state, TheInputs().xbel, ImportXbel);
}

void ExportXbelFile(benchmark::State& state)
{
    CKivDoc doc;
    ImportChromium(doc, TheInputs().bookmarks);
    QTemporaryDir dir;
    for (auto _ : state)
        if (!ExportXbel(doc, dir.filePath(QStringLiteral("out.xbel"))).Ok())
            state.SkipWithError("export failed");
}

} // namespace

BENCHMARK(ImportFirefoxProfile)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportChromiumProfile)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportChromiumOneFlatFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(ImportXbelFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ExportXbelFile)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
