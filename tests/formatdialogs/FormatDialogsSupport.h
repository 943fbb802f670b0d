#pragma once

#include "framework/Document.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <utility>
#include <vector>

class QDialog;
class QWidget;

namespace FormatDialogsTest {

// A private home folder: HOME points into a temporary folder, and the XDG user
// folders file names "Escritorio" in it as the desktop. Neither the favorites
// folder nor the desktop exists until the test makes it. The previous values come
// back when it goes.
class FakeHome
{
public:
    FakeHome();
    ~FakeHome();

    bool IsValid() const { return m_dir.isValid(); }
    QString Path(const QString& relative = QString()) const;
    QString Favorites() const { return Path(QStringLiteral("Favorites")); }
    QString Desktop() const { return Path(QStringLiteral("Escritorio")); }
    // Creates the folder (and its parents) and returns its path.
    QString MakeDir(const QString& relative) const;
    // Writes a shortcut file holding `url` below the home folder; returns its path.
    QString MakeShortcut(const QString& relative, const QByteArray& url) const;
    QString MakeFile(const QString& relative, const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_savedHome;
    QString m_userDirsFile;
};

// Records the hints the commands send while it is registered; the views' notes to
// each other (sent with a view as sender) are left out.
class HintRecorder : public CView
{
public:
    explicit HintRecorder(CDocument& doc) : m_doc(doc) { m_doc.AddView(this); }
    ~HintRecorder() override { m_doc.RemoveView(this); }
    void OnUpdate(CView* sender, const CHint& hint) override
    {
        if (!sender)
            m_hints.emplace_back(hint.code, hint.folder);
    }

    std::vector<std::pair<int, CFolderNode*>> m_hints;

private:
    CDocument& m_doc;
};

// The control of `dialog` with that object name; the test fails if it is missing.
QWidget* Control(QDialog& dialog, const QString& name);
// Text of a label, button, check box, line edit or combo box.
QString ControlText(QDialog& dialog, const QString& name);
void SetControlText(QDialog& dialog, const QString& name, const QString& text);
void SetChecked(QDialog& dialog, const QString& name, bool checked);
bool IsChecked(QDialog& dialog, const QString& name);
void Click(QDialog& dialog, const QString& name);
// The entries of a combo box's list.
QStringList ComboEntries(QDialog& dialog, const QString& name);

// All files below `root`, as paths relative to it, sorted.
QStringList FilesBelow(const QString& root);

}  // namespace FormatDialogsTest
