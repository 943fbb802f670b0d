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
    for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
        if (parts[k].isEmpty())
            break;
        QString label = parts[k];
        // Qt reads the patterns from the parentheses; make sure they are there.
        if (!label.contains(QLatin1Char('(')))
            label += QStringLiteral(" (") + QString(parts[k + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
        filters << label;
    }
    return filters.join(QStringLiteral(";;"));
}
