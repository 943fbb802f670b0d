#include "ScriptedUi.h"

#include <QDialog>

int CScriptedUi::MessageBox(const QString& text, const QString& caption, int buttons, int icon)
{
    m_messages.push_back({text, caption, buttons, icon});
    CModalScope modal;
    if (m_whileMessage)
        m_whileMessage();
    if (m_messageAnswers.empty())
        return buttons == MB_OK ? IDOK : IDCANCEL;
    const int answer = m_messageAnswers.front();
    m_messageAnswers.pop_front();
    return answer;
}

QString CScriptedUi::GetOpenFileName(const QString& filter, const QString&, const QString&)
{
    m_fileFilters.push_back(filter);
    if (m_fileAnswers.empty())
        return {};
    QString answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    return answer;
}

QString CScriptedUi::GetSaveFileName(const QString& filter, const QString& ext, const QString& init)
{
    return GetOpenFileName(filter, ext, init);
}

QString CScriptedUi::BrowseForFolder(const QString&, const QString&)
{
    if (m_folderAnswers.empty())
        return {};
    QString answer = m_folderAnswers.front();
    m_folderAnswers.pop_front();
    return answer;
}

int CScriptedUi::DoModal(QDialog& dialog)
{
    m_dialogs.push_back(dialog.objectName().isEmpty()
                            ? QString::fromLatin1(dialog.metaObject()->className())
                            : dialog.objectName());
    if (m_dialogScripts.empty())
        return QDialog::Rejected;
    auto script = std::move(m_dialogScripts.front());
    m_dialogScripts.pop_front();
    CModalScope modal;
    const int result = script(dialog);
    // Run the dialog's own accept/reject so its OK logic (validation, data
    // exchange) happens as it would for a person.
    if (result == QDialog::Accepted)
        dialog.accept();
    else
        dialog.reject();
    return dialog.result();
}

QStringList CScriptedUi::MessageTexts() const
{
    QStringList texts;
    for (const Message& m : m_messages)
        texts << m.text;
    return texts;
}
