#pragma once

#include <QString>
#include <QStringList>

// Starts a browser program with an argument list, never through a shell. The
// application uses the detached starter; tests put a recording one in its place.
class CProgramStarter
{
public:
    virtual ~CProgramStarter() = default;
    // True when the program was started; nobody reports a failure to the user.
    virtual bool Start(const QString& program, const QStringList& arguments) = 0;
};

// The program runs on its own, outliving Kiv.
class CDetachedProgramStarter final : public CProgramStarter
{
public:
    bool Start(const QString& program, const QStringList& arguments) override;
};

// The process-wide detached starter.
CProgramStarter& DefaultProgramStarter();
