#include "FormatDialogsSupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace FormatDialogsTest {

FakeHome::FakeHome() : m_savedHome(qgetenv("HOME"))
{
    qputenv("HOME", m_dir.path().toLocal8Bit());
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QDir().mkpath(config);
    m_userDirsFile = config + QStringLiteral("/user-dirs.dirs");
    QFile file(m_userDirsFile);
    if (file.open(QIODevice::WriteOnly))
        file.write("XDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n");
}

FakeHome::~FakeHome()
{
    QFile::remove(m_userDirsFile);
    qputenv("HOME", m_savedHome);
}

QString FakeHome::Path(const QString& relative) const
{
    return relative.isEmpty() ? m_dir.path() : m_dir.filePath(relative);
}

QString FakeHome::MakeDir(const QString& relative) const
{
    QDir().mkpath(Path(relative));
    return Path(relative);
}

QString FakeHome::MakeFile(const QString& relative, const QByteArray& bytes) const
{
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

QString FakeHome::MakeShortcut(const QString& relative, const QByteArray& url) const
{
    return MakeFile(relative, "[InternetShortcut]\r\nURL=" + url + "\r\n");
}

QWidget* Control(QDialog& dialog, const QString& name)
{
    auto* widget = dialog.findChild<QWidget*>(name);
    if (!widget)
        ADD_FAILURE() << dialog.objectName().toStdString() << " has no " << name.toStdString();
    return widget;
}

QString ControlText(QDialog& dialog, const QString& name)
{
    QWidget* widget = Control(dialog, name);
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    return {};
}

void SetControlText(QDialog& dialog, const QString& name, const QString& text)
{
    QWidget* widget = Control(dialog, name);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        combo->setEditText(text);
    else
        ADD_FAILURE() << name.toStdString() << " takes no text";
}

void SetChecked(QDialog& dialog, const QString& name, bool checked)
{
    if (auto* button = qobject_cast<QAbstractButton*>(Control(dialog, name)))
        button->setChecked(checked);
}

bool IsChecked(QDialog& dialog, const QString& name)
{
    auto* button = qobject_cast<QAbstractButton*>(Control(dialog, name));
    return button && button->isChecked();
}

void Click(QDialog& dialog, const QString& name)
{
    if (auto* button = qobject_cast<QAbstractButton*>(Control(dialog, name)))
        button->click();
}

QStringList ComboEntries(QDialog& dialog, const QString& name)
{
    QStringList entries;
    if (auto* combo = qobject_cast<QComboBox*>(Control(dialog, name)))
        for (int i = 0; i < combo->count(); ++i)
            entries << combo->itemText(i);
    return entries;
}

QStringList FilesBelow(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

}  // namespace FormatDialogsTest
