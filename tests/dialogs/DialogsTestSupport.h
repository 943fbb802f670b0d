#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

namespace KivDialogsTest {

// A private desktop: XDG folders in a temporary directory, so the registered web
// browser is whatever the test says (or none). The previous variables come back
// when it goes.
class FakeDesktop
{
public:
    FakeDesktop();
    ~FakeDesktop();

    bool IsValid() const { return m_dir.isValid(); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // Registers `exec` (a desktop entry's Exec value) as the handler of web pages.
    void RegisterBrowser(const QString& exec);

    // Writes a program that records each run's arguments into its own file under
    // `name`.runs/ and returns its path.
    QString MakeRecorder(const QString& name) const;
    // Waits until `count` runs of recorder `name` are recorded (or a generous
    // limit passes) and returns the argument lists of all runs so far.
    std::vector<QStringList> WaitForRuns(const QString& name, size_t count) const;
    // The runs recorded so far.
    std::vector<QStringList> Runs(const QString& name) const;

    // An ordinary file that is not a program.
    QString MakeTextFile(const QString& name) const;

private:
    QTemporaryDir m_dir;
    std::vector<std::pair<QByteArray, QByteArray>> m_saved;
};

}  // namespace KivDialogsTest
