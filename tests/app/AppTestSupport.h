#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

class CKivApp;
class CScriptedUi;

namespace KivAppTest {

// The QApplication of the test binary (offscreen), with the settings and the desktop
// data in temporary folders. Created once.
void EnsureQtApp();
QString DataHome();

// Every test starts from empty settings, a scripted CUi and the 1033 string table.
class AppEnv
{
public:
    AppEnv();
    ~AppEnv();

    // Writes a document with a few folders and bookmarks; returns its path.
    QString WriteSample(const QString& name = QStringLiteral("sample.kiv")) const;
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<CScriptedUi> m_ui;
};

// Writes one value straight into the settings file.
void SetSetting(const QString& key, const QVariant& value);
QVariant Setting(const QString& key);

}  // namespace KivAppTest
