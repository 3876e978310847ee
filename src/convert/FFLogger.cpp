#include "FFLogger.h"

#include "LibavLogOwner.h"
#include "MediaLibs.h"

#include <cstdio>
#include <mutex>

namespace tv {

namespace {

thread_local int tLogJob = -1;

void LogCallback(void *context, int level, const char *format, va_list args) {
    if (level > AV_LOG_WARNING)
        return;
    char line[1024];
    int prefix = 1;
    av_log_format_line2(context, level, format, args, line, sizeof line, &prefix);
    const QString text = QString::fromUtf8(line).trimmed();
    if (text.isEmpty())
        return;
    Q_EMIT FFLogger::instance()->LogLine(level, tLogJob, text);
    // Developers can still see the libraries speak on the terminal when they ask for it.
    static const bool echo = qEnvironmentVariableIsSet("TUNEVANE_AV_LOG");
    if (echo)
        std::fprintf(stderr, "%s\n", line);
}

} // namespace

FFLogger *FFLogger::instance() {
    static FFLogger *logger = nullptr;
    static std::once_flag once;
    std::call_once(once, []() {
        logger = new FFLogger();
        if (ClaimLibavLog(true))
            av_log_set_callback(LogCallback);
    });
    return logger;
}

void SetLogJob(int job) {
    tLogJob = job;
}

QString FormatLogLine(int a, int b, const QString &text) {
    return QStringLiteral("#%1.%2 %3").arg(a).arg(b).arg(text);
}

} // namespace tv
