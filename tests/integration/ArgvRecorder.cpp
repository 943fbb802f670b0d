// Stands in for a browser: appends one JSON line with its arguments (after the
// program name) to the file named by KIV_RECORDER_LOG.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstdlib>

int main(int argc, char** argv)
{
    const char* logPath = std::getenv("KIV_RECORDER_LOG");
    if (!logPath)
        return 2;
    QJsonArray args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromUtf8(argv[i]));
    QFile log(QString::fromLocal8Bit(logPath));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return 1;
    log.write(QJsonDocument(args).toJson(QJsonDocument::Compact) + '\n');
    return 0;
}
