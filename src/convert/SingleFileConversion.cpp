#include "SingleFileConversion.h"

#include "Config.h"
#include "ConversionFlags.h"
#include "Engine.h"
#include "ErrorTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

namespace tv {

SingleFileConversion::SingleFileConversion(QObject *parent) : QObject(parent), m_engine(new Engine(this)) {
    m_engine->setObjectName(QStringLiteral("FFEncoder_MediaConverter"));
    connect(m_engine, &Engine::JobFinished, this, &SingleFileConversion::onJobFinished);
}

void SingleFileConversion::ConvertSingleFile(const QString &inputPath, const QString &outputPath,
                                             const QString &arguments) {
    ConversionFlags &f = Flags();
    f.lastError.clear();
    f.anySucceeded = false;
    f.suppressNotices = true;
    m_engine->ClearJobs();
    QDir().mkpath(QFileInfo(outputPath).absolutePath());
    // A refused job ends too, after the caller has returned and can wait for it.
    const auto refused = [this, &f](const QString &text) {
        f.lastError = text;
        QMetaObject::invokeMethod(this, &SingleFileConversion::finished, Qt::QueuedConnection);
    };
    const int job = m_engine->AddJob(inputPath, QString());
    if (job < 0) {
        refused(m_engine->LastErrorText());
        return;
    }
    if (m_engine->SetJobOutput(job, outputPath, arguments) < 0) {
        m_engine->RemoveJob(job);
        refused(m_engine->LastErrorText());
        return;
    }
    m_engine->StartJobs(1);
}

void SingleFileConversion::onJobFinished(int job, bool succeeded, bool failed, const QString &message) {
    ConversionFlags &f = Flags();
    if (job < 0) {
        Q_EMIT finished();
        return;
    }
    if (succeeded) {
        f.anySucceeded = true;
    } else if (failed) {
        f.lastError = SingleFileErrorText(message, Paths().tempFolder);
    }
}

} // namespace tv
