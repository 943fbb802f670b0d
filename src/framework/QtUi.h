#pragma once

#include "Ui.h"

class QWidget;

// The CUi of the running program: Qt message boxes and file dialogs.
class CQtUi : public CUi
{
public:
    // Dialogs are centred on the main window when it is set.
    void SetMainWindow(QWidget* window) { m_pMainWnd = window; }

    int MessageBox(const QString& text, const QString& caption, int buttons, int icon) override;
    QString GetOpenFileName(const QString& filter, const QString& defaultExt,
                            const QString& initialPath) override;
    QString GetSaveFileName(const QString& filter, const QString& defaultExt,
                            const QString& initialPath) override;
    QString BrowseForFolder(const QString& title, const QString& initialPath) override;
    int DoModal(QDialog& dialog) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

protected:
    bool RunsModalLoop() const override;

private:
    QWidget* m_pMainWnd = nullptr;
};
