#pragma once

#include "integration/ProgramStarter.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace KivTest {

// One call a fake DDE server received.
struct DdeRecord
{
    std::string service;
    std::string op; // connect, request, execute
    std::string topic;
    std::string item;
    std::string data;
    bool operator==(const DdeRecord&) const = default;
};

// A fake DDE server process on the session bus, logging into a shared file.
class FakeDdeServer
{
public:
    // Starts the server and waits until it owns its name.
    FakeDdeServer(const std::string& service, const std::string& mode, const QString& logPath);
    ~FakeDdeServer();
    bool IsReady() const { return m_ready; }
    // Kills the server and waits until the process is gone.
    void Stop();

private:
    QProcess m_process;
    bool m_ready = false;
};

std::vector<DdeRecord> ReadDdeLog(const QString& logPath);

// Records every program start instead of starting anything.
class RecordingStarter final : public CProgramStarter
{
public:
    struct Launch
    {
        std::string program;
        std::vector<std::string> args;
        bool operator==(const Launch&) const = default;
    };
    bool Start(const QString& program, const QStringList& arguments) override;
    std::vector<Launch> launches;
};

// The argument lists the recorder program wrote, waiting (up to a generous limit)
// until `count` of them are there.
std::vector<std::vector<std::string>> WaitForRecorderRuns(const QString& logPath, size_t count);

QString RecorderProgram();

} // namespace KivTest
