#pragma once

#include <QByteArray>
#include <QDBusContext>
#include <QFile>
#include <QObject>
#include <QString>

// Modes: accept, refuse (Connect false), reject (Request empty, Execute false), hang
// (transactions never answered), hangconnect, die (exits inside a transaction),
// badargs (transactions answer InvalidArgs).
class CFakeDdeServer : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    CFakeDdeServer(const QString& service, const QString& mode, const QString& logPath);

public slots:
    bool Connect(const QString& topic);
    QByteArray Request(const QString& topic, const QString& item);
    bool Execute(const QString& topic, const QByteArray& data);

private:
    void Log(const char* op, const QString& topic, const QString& item, const QByteArray& data);
    // True when the call was answered some other way than by the return value.
    bool Misbehave();

    QString m_service;
    QString m_mode;
    QFile m_log;
};
