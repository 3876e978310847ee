#pragma once
// tunevane-cli run as a script runs it: its exit code, its texts and its JSON lines.

#include "TestEnv.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace tv::test {

// One JSON object per line of a text.
inline QList<QJsonObject> JsonLines(const QString &text) {
    QList<QJsonObject> objects;
    for (const QString &line : text.split('\n', Qt::SkipEmptyParts))
        objects << QJsonDocument::fromJson(line.toUtf8()).object();
    return objects;
}

struct CliRun {
    int exitCode = -1; // -1 when it crashed or did not end in time
    QString out;
    QString err;
    QList<QJsonObject> lines() const { return JsonLines(out); }
    // The line of the input of that file name; empty when there is none.
    QJsonObject lineOf(const QString &inputName) const {
        for (const QJsonObject &line : lines()) {
            if (line.value("input").toString().endsWith("/" + inputName))
                return line;
        }
        return {};
    }
};

inline CliRun RunCli(const QStringList &args, const QProcessEnvironment &env = Home().environment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(TUNEVANE_CLI_BINARY, args);
    CliRun run;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

} // namespace tv::test
