#pragma once
// Every test runs in a home folder of its own, so it never touches the user's settings,
// folders or data, and parallel tests never touch each other's.

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

namespace tv::test {

class IsolatedHome {
public:
    IsolatedHome();
    QString path() const { return m_dir.path(); }
    // The environment a child process of the test should get (the same isolated folders).
    QProcessEnvironment environment() const;

private:
    QTemporaryDir m_dir;
};

// The isolated home of the running test program.
const IsolatedHome &Home();
void SetHome(IsolatedHome *home);

// Writes a file with the given content, creating its folders; answers the path.
QString WriteFile(const QString &path, const QByteArray &content = QByteArray("x"));
// The whole content of a file; empty when it cannot be read.
QByteArray ReadFile(const QString &path);

// The entries of a catalog option list, "a;b;c;" (the text after the last ";" is none).
inline QStringList Options(const QString &list) {
    QStringList options = list.split(QLatin1Char(';'));
    options.removeLast();
    return options;
}

// Copies the built skin folder (colour schemes and the named theme folders) under root, for a
// test that breaks it; answers root followed by "/".
QString CopyBuiltSkin(const QString &root, const QStringList &themes);

// Mounts a small tmpfs at dir (read-only when asked); answers false where mounting is refused,
// which tests treat as a reason to skip.
bool MountTmpfs(const QString &dir, bool readOnly, const QString &size = QStringLiteral("1m"));
void Unmount(const QString &dir);
// Makes a mounted tmpfs read-only, keeping what was put into it; false where that is refused.
bool RemountReadOnly(const QString &dir);

// A small tmpfs at dir for as long as it lives (a full or read-only disk for a test).
class TmpfsMount {
public:
    TmpfsMount(const QString &dir, const QString &size, bool readOnly = false)
        : m_dir(dir), m_mounted(MountTmpfs(dir, readOnly, size)) {}
    ~TmpfsMount() {
        if (m_mounted)
            Unmount(m_dir);
    }
    bool mounted() const { return m_mounted; }
    // Everything in it, hidden files included.
    QStringList files() const { return QDir(m_dir).entryList(QDir::Files | QDir::Hidden | QDir::System); }

private:
    QString m_dir;
    bool m_mounted;
};

} // namespace tv::test

// Declares a TmpfsMount named var, or skips the test where mounting is refused.
#define TV_TMPFS_OR_SKIP(var, ...)                                                                           \
    const tv::test::TmpfsMount var(__VA_ARGS__);                                                             \
    if (!var.mounted())                                                                                      \
    QSKIP("mounting a tmpfs is refused here")

// main() of a test program with windows (offscreen) or without.
#define TV_TEST_MAIN_IMPL(AppClass, TestObject)                                                              \
    int main(int argc, char *argv[]) {                                                                       \
        tv::test::IsolatedHome home;                                                                         \
        tv::test::SetHome(&home);                                                                            \
        AppClass app(argc, argv);                                                                            \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }

#define TV_TEST_MAIN(TestObject) TV_TEST_MAIN_IMPL(QApplication, TestObject)
#define TV_TEST_MAIN_CORE(TestObject) TV_TEST_MAIN_IMPL(QCoreApplication, TestObject)
