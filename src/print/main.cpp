// kiv-print: prints the collection open in Kiv, read through its automation objects.
#include "KivPrintCollection.h"
#include "KivPrintLayout.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

// What went wrong goes to the log like the rest of the product's messages: on a
// terminal that is stderr, "kiv.print: ...".
Q_LOGGING_CATEGORY(lcPrint, "kiv.print")

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kiv-print"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints the bookmark collection open in Kiv."));
    parser.addHelpOption();
    const QCommandLineOption pdf(QStringLiteral("pdf"),
                                 QStringLiteral("Write a PDF file instead of printing."),
                                 QStringLiteral("FILE"));
    parser.addOption(pdf);
    // The print document the desktop hands over when Zezivezu.viv is opened; it
    // only names this program, so its content is not needed.
    parser.addPositionalArgument(QStringLiteral("document"),
                                 QStringLiteral("Zezivezu.viv (optional)."), QStringLiteral("[document]"));
    parser.process(app);

    // Kiv names the copy whose collection is to be printed; without it, the copy
    // that owns the running document's name.
    const QString service = qEnvironmentVariable("KIV_DOCUMENT_BUS_NAME");
    QList<CPrintEntry> entries;
    QString error;
    if (!CCollectionReader(QDBusConnection::sessionBus(), service).Read(&entries, &error)) {
        qCCritical(lcPrint).noquote() << error;
        // Started from the desktop, nobody reads stderr.
        if (!parser.isSet(pdf))
            QMessageBox::warning(nullptr, QStringLiteral("Kiv Print"), error);
        return 1;
    }
    const std::unique_ptr<QTextDocument> doc = LayOutCollection(entries);

    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QStringLiteral("Kiv"));
    if (parser.isSet(pdf)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(parser.value(pdf));
        doc->print(&printer);
        const QFileInfo written(parser.value(pdf));
        if (!written.exists() || written.size() == 0) {
            qCCritical(lcPrint).noquote() << "cannot write" << parser.value(pdf);
            return 1;
        }
        return 0;
    }
    QPrintDialog dialog(&printer);
    dialog.setWindowTitle(QStringLiteral("Print Kiv bookmarks"));
    if (dialog.exec() != QDialog::Accepted)
        return 2;
    doc->print(&printer);
    return 0;
}
