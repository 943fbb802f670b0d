// A window-free Kiv for the bus tests: loads a collection into the served document
// and stands in for the window's edits, which it takes as lines on standard input.
//   automation-host FILE.kiv      interactive start: registers the running document
//   automation-host -Automation   automation start: serves one client, then ends
// Input: "delete NAME" deletes the top-level folder NAME, "rename OLD NEW" renames
// top-level bookmarks, "new" starts a new document; each answers "done".
#include "integration/AutomationServer.h"
#include "integration/AutomationService.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace {
void Say(const char* text)
{
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Edit(CServedKivDoc& doc, const QString& line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.value(0) == QLatin1String("delete")) {
        for (CFolderNode* f = doc.m_root.m_pFirstChild; f; f = f->m_pNext) {
            if (f->m_strName == words.value(1).toStdString()) {
                doc.TrashChainBookmarks(f->m_pFirstChild);
                doc.DeleteFolderChain(f->m_pFirstChild);
                doc.TrashFolderBookmarks(f);
                doc.DeleteFolder(f);
                break;
            }
        }
        doc.SetModifiedFlag();
        doc.UpdateAllViews(nullptr, HINT_REFRESH);
    } else if (words.value(0) == QLatin1String("new")) {
        doc.OnNewDocument();
        doc.SendInitialUpdate();
    }
}
}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool automation = !args.isEmpty() && KivAutomation::IsAutomationFlag(args.first());

    CServedKivDoc doc;
    CAutomationServer server(doc);
    doc.SetServer(&server);
    server.SetMessageSink([](const QString& text) { Say(qPrintable(text)); });
    server.SetUserControl(!automation);
    CAutomationClassFactory factory(server);

    if (automation) {
        doc.OnNewDocument();
        QObject::connect(&factory, &CAutomationClassFactory::ClientDone, &app, [&] {
            // Tell the test this copy ended because its client was done.
            const QByteArray marker = qgetenv("KIV_HOST_DONE_DIR");
            if (!marker.isEmpty()) {
                QFile f(QString::fromLocal8Bit(marker) + QStringLiteral("/done-%1")
                                                             .arg(QCoreApplication::applicationPid()));
                f.open(QIODevice::WriteOnly);
            }
            QCoreApplication::quit();
        });
        if (!factory.RegisterAll())
            return 3;
    } else {
        const bool ok = args.isEmpty() ? doc.OnNewDocument() : doc.OpenDocumentFile(args.first());
        if (!ok)
            return 2;
    }

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[512];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer - 1);
        if (n <= 0) {
            input.setEnabled(false);
            if (!automation)
                QCoreApplication::quit();
            return;
        }
        for (const QString& line : QString::fromUtf8(buffer, static_cast<int>(n)).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            Edit(doc, line.trimmed());
            Say("done");
        }
    });
    Say("ready");
    const int rc = app.exec();
    doc.OnCloseDocument();
    doc.SetServer(nullptr);
    return rc;
}
