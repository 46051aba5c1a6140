#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// How a program run by a test ended.
struct Finished
{
    int exitCode = -1;   // -1 when it crashed or did not end
    QString output;      // standard error, then standard output
};

// Runs a program until it ends by itself (at most 20 s), with `input` on its
// standard input and the given environment.
inline Finished runToEnd(const QString &program, const QStringList &arguments, const QByteArray &input = {},
                         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return {-1, QStringLiteral("still running")};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError() + process.readAllStandardOutput())};
}
