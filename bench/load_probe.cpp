// Loads one document file and reports the time taken and the process's peak memory,
// for measuring under /usr/bin/time -v. Without a file it loads the wide benchmark
// collection (made on first use). With --phases it also times reading the tables
// and rebuilding the tree apart, then a save.

#include "CollectionGen.h"

#include "framework/Archive.h"
#include "model/KivDoc.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <string>
#include <sys/resource.h>

int main(int argc, char* argv[])
{
    const bool phases = argc > 1 && std::string(argv[1]) == "--phases";
    const int fileArg = phases ? 2 : 1;
    const QString path = argc > fileArg ? QString::fromLocal8Bit(argv[fileArg])
                                        : KivBench::FileFor(KivBench::Wide());
    CKivDoc doc;
    // CPU time beside wall time: on a busy machine the wall clock mostly measures
    // the other processes.
    const auto cpuMs = [] { return static_cast<long long>(std::clock() * 1000.0 / CLOCKS_PER_SEC); };
    if (phases) {
        QElapsedTimer t;
        t.start();
        long long c0 = cpuMs();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        try {
            KivBench::ReadTables(file, doc);
        } catch (const CArchiveException& e) {
            // A damaged file: said so, as the whole open below would.
            std::fprintf(stderr, "cannot read the tables: %s\n", e.what());
            return 1;
        }
        const auto lap = [&](const char* what) {
            const long long c1 = cpuMs();
            std::printf("%s: wall %lld ms, cpu %lld ms\n", what, static_cast<long long>(t.restart()),
                        c1 - c0);
            c0 = c1;
        };
        lap("read tables");
        doc.RebuildFromFlat();
        lap("rebuild tree");
        QTemporaryDir dir;
        doc.DoSave(dir.filePath(QStringLiteral("out.kiv")));
        lap("save");
        doc.DeleteContents();
        lap("delete");
    }
    QElapsedTimer timer;
    timer.start();
    const long long cpu0 = cpuMs();
    const bool ok = doc.OpenDocumentFile(path);
    const qint64 ms = timer.elapsed();
    const long long cpu = cpuMs() - cpu0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("{\"loaded\":%s,\"bookmarks\":%u,\"wall_ms\":%lld,\"cpu_ms\":%lld,\"peak_kb\":%ld}\n",
                ok ? "true" : "false", doc.BookmarkCount(), static_cast<long long>(ms), cpu,
                usage.ru_maxrss);
    return ok ? 0 : 1;
}
