#pragma once

#include "Ui.h"

#include <deque>
#include <functional>
#include <vector>

// The CUi of tests: records every message and dialog and answers from prepared
// queues, never waiting. An empty queue answers "cancel" (OK for a plain OK box).
class CScriptedUi : public CUi
{
public:
    struct Message
    {
        QString text;
        QString caption;
        int buttons;
        int icon;
    };

    CScriptedUi() : m_previous(CUi::Install(this)) {}
    ~CScriptedUi() override { CUi::Install(m_previous); }

    int MessageBox(const QString& text, const QString& caption, int buttons, int icon) override;
    QString GetOpenFileName(const QString& filter, const QString& defaultExt,
                            const QString& initialPath) override;
    QString GetSaveFileName(const QString& filter, const QString& defaultExt,
                            const QString& initialPath) override;
    QString BrowseForFolder(const QString& title, const QString& initialPath) override;
    int DoModal(QDialog& dialog) override;
    void BeginWaitCursor() override { ++m_nWaitCursors; }

    // Prepared answers, used in order.
    std::deque<int> m_messageAnswers;
    std::deque<QString> m_fileAnswers;   // open and save dialogs alike
    std::deque<QString> m_folderAnswers;
    // Each fills in the dialog it is given (find controls by objectName) and
    // returns QDialog::Accepted or QDialog::Rejected.
    std::deque<std::function<int(QDialog&)>> m_dialogScripts;
    // Runs inside every message box before it is answered, as whatever arrives
    // while a real one waits (a timer, a call from another program).
    std::function<void()> m_whileMessage;

    // What the program asked.
    std::vector<Message> m_messages;
    std::vector<QString> m_fileFilters;
    std::vector<QString> m_dialogs; // objectName (or class name) of each modal dialog
    int m_nWaitCursors = 0;

    QStringList MessageTexts() const;

private:
    CUi* m_previous;
};
