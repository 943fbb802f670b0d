// Adding bookmarks: 100,000 AddBookmark calls with names in random order, into one
// folder and spread over 1,000 folders; the plain algorithm alongside at a size it
// can finish.

#include "CollectionGen.h"
#include "LiteralModel.h"

#include "model/KivDoc.h"

#include <benchmark/benchmark.h>

namespace {

struct Input
{
    std::vector<std::string> names;
    std::vector<std::string> urls;
};

const Input& Inputs()
{
    static const Input input = [] {
        Input in;
        in.names = KivBench::RandomNames(100000, 77);
        for (size_t k = 0; k < in.names.size(); ++k)
            in.urls.push_back("https://site" + std::to_string(k % 997) + ".example/"
                              + std::to_string(k));
        return in;
    }();
    return input;
}

void AddBookmarks(benchmark::State& state)
{
    const auto count = static_cast<size_t>(state.range(0));
    const auto folderCount = static_cast<size_t>(state.range(1));
    const Input& in = Inputs();
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CKivDoc>();
        std::vector<CFolderNode*> folders;
        for (size_t f = 0; f < folderCount; ++f)
            folders.push_back(folderCount == 1 ? &doc->m_root
                                               : doc->CreateFolder(&doc->m_root, "F" + std::to_string(f), false));
        state.ResumeTiming();
        for (size_t k = 0; k < count; ++k)
            doc->AddBookmark(in.urls[k].c_str(), in.names[k].c_str(), nullptr,
                             folders[k % folderCount], false);
        benchmark::DoNotOptimize(doc->BookmarkCount());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}

void AddBookmarksLiteral(benchmark::State& state)
{
    const auto count = static_cast<size_t>(state.range(0));
    const auto folderCount = static_cast<size_t>(state.range(1));
    const Input& in = Inputs();
    for (auto _ : state) {
        KivLiteral::Doc doc;
        std::vector<KivLiteral::Folder*> folders;
        for (size_t f = 0; f < folderCount; ++f)
            folders.push_back(folderCount == 1 ? &doc.root
                                               : doc.CreateFolder(&doc.root, "F" + std::to_string(f)));
        for (size_t k = 0; k < count; ++k)
            doc.AddBookmark(in.urls[k], in.names[k], folders[k % folderCount]);
        benchmark::DoNotOptimize(doc.bookmarks.size());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * count));
}

BENCHMARK(AddBookmarks)
    ->ArgNames({"adds", "folders"})
    ->Args({100000, 1})
    ->Args({100000, 1000})
    ->Args({20000, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(AddBookmarksLiteral)
    ->ArgNames({"adds", "folders"})
    ->Args({20000, 1})
    ->Args({20000, 1000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
