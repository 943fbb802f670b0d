#include "Ui.h"

namespace {

// Used when nothing is installed (kivtool, early start-up): never blocks, declines.
class CQuietUi : public CUi
{
public:
    int MessageBox(const QString&, const QString&, int buttons, int) override
    {
        return buttons == MB_OK ? IDOK : IDCANCEL;
    }
    QString GetOpenFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString BrowseForFolder(const QString&, const QString&) override { return {}; }
    int DoModal(QDialog&) override { return 0; }
};

CQuietUi g_quiet;
CUi* g_ui = &g_quiet;
int g_nModalDepth = 0;

}  // namespace

CUi& CUi::Get() { return *g_ui; }

CUi* CUi::Install(CUi* ui)
{
    CUi* previous = g_ui;
    g_ui = ui ? ui : &g_quiet;
    return previous;
}

QString CUi::QtFilter(const QString& mfcFilter)
{
    const QStringList parts = mfcFilter.split(QLatin1Char('|'));
    QStringList filters;
    bool everything = false;
    for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
        if (parts[k].isEmpty())
            break;
        // Qt reads the patterns from the label's parentheses, separated by blanks;
        // the patterns that count are those after the bar, separated by ';'.
        QStringList patterns;
        for (const QString& pattern : parts[k + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            QString p = pattern.trimmed();
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*"); // every file, with or without a dot
            // Where these filters come from, "*.htm" also matched ".html" through the
            // short names; here the long form must be listed.
            if (p.compare(QLatin1String("*.htm"), Qt::CaseInsensitive) == 0
                && !patterns.contains(QLatin1String("*.html"), Qt::CaseInsensitive))
                patterns << QStringLiteral("*.html");
            if (!p.isEmpty() && !patterns.contains(p, Qt::CaseInsensitive))
                patterns << p;
        }
        if (patterns.isEmpty())
            continue;
        everything = everything || patterns.contains(QLatin1String("*"));
        QString label = parts[k];
        const qsizetype open = label.indexOf(QLatin1Char('('));
        if (open >= 0)
            label.truncate(open);
        filters << label.trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
                       + QLatin1Char(')');
    }
    if (!everything)
        filters << QStringLiteral("Todos los archivos (*)");
    return filters.join(QStringLiteral(";;"));
}

bool CUi::ModalInProgress() { return g_nModalDepth > 0 || g_ui->RunsModalLoop(); }

CModalScope::CModalScope() { ++g_nModalDepth; }

CModalScope::~CModalScope() { --g_nModalDepth; }
