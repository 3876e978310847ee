#pragma once
// One file converted on the spot, outside the batch (the trim window's cut, a burner's WAV),
// on the second engine instance. The result arrives in the shared flags: anySucceeded or
// lastError (and the caller's wait also ends on cancelPrepare).

#include <QObject>
#include <QString>

namespace tv {

class Engine;

class SingleFileConversion : public QObject {
    Q_OBJECT
public:
    explicit SingleFileConversion(QObject *parent = nullptr);

    // FFEncoder_MediaConverter.
    Engine *engine() const { return m_engine; }

    void ConvertSingleFile(const QString &inputPath, const QString &outputPath, const QString &arguments);

Q_SIGNALS:
    // The result is in the flags.
    void finished();

private:
    void onJobFinished(int job, bool succeeded, bool failed, const QString &message);

    Engine *m_engine;
};

} // namespace tv
