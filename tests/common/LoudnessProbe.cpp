#include "LoudnessProbe.h"

#include "MediaGen.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace tv::test {

MeteredLoudness MeterLoudness(const QStringList &paths) {
    MeteredLoudness result;
    QStringList args{"-nostats"};
    for (const QString &path : paths)
        args << "-i" << path;
    const QString meter = "ebur128=peak=true";
    if (paths.size() == 1) {
        args << "-af" << meter;
    } else {
        QString inputs;
        for (int i = 0; i < paths.size(); ++i)
            inputs += QStringLiteral("[%1:a]").arg(i);
        args << "-filter_complex"
             << QStringLiteral("%1concat=n=%2:v=0:a=1,%3").arg(inputs).arg(paths.size()).arg(meter);
    }
    QString text;
    if (!RunFFmpeg(args + QStringList{"-f", "null", "-"}, &text, "info"))
        return result;
    // The summary at the end: "I:  -16.0 LUFS" and, under "True peak:", "Peak:  -1.2 dBFS".
    const qsizetype summary = text.lastIndexOf("Summary:");
    if (summary < 0)
        return result;
    static const QRegularExpression integrated(R"(I:\s+(-?[\d.]+|-inf) LUFS)");
    static const QRegularExpression peak(R"(Peak:\s+(-?[\d.]+|-inf) dBFS)");
    const auto i = integrated.match(text, summary);
    const auto p = peak.match(text, summary);
    if (!i.hasMatch() || !p.hasMatch())
        return result;
    const auto number = [](const QString &t) {
        return t == "-inf" ? -std::numeric_limits<double>::infinity() : t.toDouble();
    };
    result.integrated = number(i.captured(1));
    result.truePeak = number(p.captured(1));
    result.ok = true;
    return result;
}

bool GenerateToneAtLoudness(const QString &path, double lufs, double seconds, double clickPeak) {
    // A stereo sine of amplitude A at 997 Hz measures close to 20·log10(A) LUFS.
    QString expression = QStringLiteral("%1*sin(2*PI*997*t)").arg(std::pow(10.0, lufs / 20.0), 0, 'f', 6);
    if (clickPeak > 0)
        expression += QStringLiteral("+%1*lt(mod(t\\,0.5)\\,0.0004)").arg(clickPeak, 0, 'f', 4);
    return RunFFmpeg({"-f", "lavfi", "-i",
                      QStringLiteral("aevalsrc=%1:s=44100:c=stereo:d=%2").arg(expression).arg(seconds),
                      "-c:a", "pcm_s16le", path});
}

} // namespace tv::test
