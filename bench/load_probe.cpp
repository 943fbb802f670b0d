// Loads one document file and reports the time taken and the process's peak memory,
// for measuring under /usr/bin/time -v. Without an argument it loads the wide
// benchmark collection (made on first use).

#include "CollectionGen.h"

#include "model/KivDoc.h"

#include <QElapsedTimer>

#include <cstdio>
#include <sys/resource.h>

int main(int argc, char* argv[])
{
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : KivBench::FileFor(KivBench::Wide());
    CKivDoc doc;
    QElapsedTimer timer;
    timer.start();
    const bool ok = doc.OpenDocumentFile(path);
    const qint64 ms = timer.elapsed();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("{\"loaded\":%s,\"bookmarks\":%u,\"ms\":%lld,\"peak_kb\":%ld}\n",
                ok ? "true" : "false", doc.BookmarkCount(), static_cast<long long>(ms),
                usage.ru_maxrss);
    return ok ? 0 : 1;
}
