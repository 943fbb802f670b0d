// Duplicates over a million bookmarks, the duplicates dialog over 100,000 groups, and
// a link check of 10,000 bookmarks over 100 loopback hosts that each answer after
// 100 ms.

#include "LoopbackHttpServer.h"
#include "model/KivDoc.h"
#include "tidy/DupesDlg.h"
#include "tidy/DupesModel.h"
#include "tidy/Duplicates.h"
#include "tidy/LinkChecker.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <random>

namespace {

// count bookmarks in 1,000 folders; about one in ten spells another one's page
// differently (scheme, www., a tracking parameter, a fragment).
void FillWithVariants(CKivDoc& doc, uint32_t count, uint32_t seed)
{
    std::mt19937 rng(seed);
    doc.OnNewDocument();
    doc.ClearFlat();
    const uint32_t bases = count - count / 10;
    for (uint32_t b = 0; b < count; ++b) {
        const uint32_t k = b < bases ? b : rng() % bases;
        const int variant = b < bases ? 0 : int(rng() % 4) + 1;
        std::string url = variant == 1 ? "http://" : variant == 2 ? "https://www." : "https://";
        url += "host" + std::to_string(k % 5000) + ".example.org/page/" + std::to_string(k);
        if (variant == 3)
            url += "?utm_source=feed&id=" + std::to_string(k % 7);
        else if (k % 7 && variant != 0)
            url += "?id=" + std::to_string(k % 7);
        else if (variant == 0 && k % 7)
            url += "?id=" + std::to_string(k % 7);
        if (variant == 4)
            url += "#top";
        doc.m_flatBookmarks.push_back({std::move(url), "name " + std::to_string(b), std::string()});
    }
    for (uint32_t f = 0; f < 1000; ++f)
        doc.m_flatFolders.push_back({"folder " + std::to_string(f), 1});
    for (uint32_t b = 0; b < count; ++b)
        doc.m_flatLinks.push_back({b % 1000, 1, b});
    std::stable_sort(doc.m_flatLinks.begin(), doc.m_flatLinks.end(),
                     [](const auto& x, const auto& y) { return x.folder < y.folder; });
    doc.RebuildFromFlat();
    doc.ClearFlat();
}

CKivDoc& MillionDoc()
{
    static CKivDoc doc;
    static const bool filled = (FillWithVariants(doc, 1000000, 7), true);
    (void)filled;
    return doc;
}

void GroupMillionBookmarks(benchmark::State& state)
{
    CKivDoc& doc = MillionDoc();
    size_t groups = 0;
    for (auto _ : state) {
        const CPlacements placements(doc);
        groups = FindDuplicates(doc, placements).size();
        benchmark::DoNotOptimize(groups);
    }
    state.counters["groups"] = double(groups);
}

// Building the dialog over the result and showing its first rows.
void OpenDupesDialog(benchmark::State& state)
{
    CKivDoc& doc = MillionDoc();
    int groups = 0;
    for (auto _ : state) {
        CDupesDlg dlg(doc);
        dlg.show();
        QCoreApplication::processEvents();
        groups = dlg.Model().GroupCount();
        benchmark::DoNotOptimize(groups);
    }
    state.counters["groups"] = groups;
}

void CheckTenThousandLinks(benchmark::State& state)
{
    CLoopbackHttpServers servers;
    if (!servers.Listen(101, 100, 100)) {
        state.SkipWithError("no loopback addresses");
        return;
    }
    QStringList urls;
    for (int k = 0; k < 10000; ++k)
        urls << servers.Url(101 + k % 100, "/ok") + QStringLiteral("?n=%1").arg(k);
    int reached = 0;
    int peak = 0;
    for (auto _ : state) {
        CLinkChecker checker;
        reached = 0;
        QEventLoop loop;
        QObject::connect(&checker, &CLinkChecker::resultReady, &loop,
                         [&](const CLinkResult& r) { reached += IsReached(r.status) ? 1 : 0; });
        QObject::connect(&checker, &CLinkChecker::finished, &loop, &QEventLoop::quit);
        // The event loop stays free: count how often it gets round meanwhile.
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(50);
        checker.Start(urls);
        loop.exec();
        peak = checker.PeakPerHost();
        state.counters["ui_ticks"] = ticks;
    }
    state.counters["reached"] = reached;
    state.counters["peak_per_host"] = peak;
    state.counters["server_peak_connections"] = servers.PeakConnections();
}

} // namespace

BENCHMARK(GroupMillionBookmarks)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(OpenDupesDialog)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(CheckTenThousandLinks)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
