#include "TestEnv.h"

namespace tv::test {

namespace {
IsolatedHome *gHome = nullptr;
}

IsolatedHome::IsolatedHome() {
    const QString root = m_dir.path();
    const struct {
        const char *name;
        const char *sub;
    } vars[] = {
        {"HOME", ""},
        {"XDG_CONFIG_HOME", "/.config"},
        {"XDG_DATA_HOME", "/.local/share"},
        {"XDG_CACHE_HOME", "/.cache"},
        {"XDG_STATE_HOME", "/.local/state"},
        {"XDG_RUNTIME_DIR", "/runtime"},
    };
    for (const auto &v : vars) {
        const QString dir = root + QString::fromLatin1(v.sub);
        QDir().mkpath(dir);
        qputenv(v.name, QFile::encodeName(dir));
    }
    QFile::setPermissions(root + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // No desktop to talk to: tests must not reach a session bus of the machine.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tunevane-test-bus");
    // The update check at start never leaves the machine: nothing listens on the discard port.
    qputenv("TUNEVANE_LINK_CHECKUPDATE", "http://127.0.0.1:9/update?product=PRODUCTNAME&version=VERSION");
    qunsetenv("TUNEVANE_SKIN_DIR");
}

QProcessEnvironment IsolatedHome::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

const IsolatedHome &Home() {
    return *gHome;
}
void SetHome(IsolatedHome *home) {
    gHome = home;
}

QString WriteFile(const QString &path, const QByteArray &content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString CopyBuiltSkin(const QString &root, const QStringList &themes) {
    const QString from = QStringLiteral(TUNEVANE_BUILD_DIR "/Skin/");
    for (const QString &folder : QStringList{QString()} + themes) {
        const QString sub = folder.isEmpty() ? QString() : folder + "/";
        QDir().mkpath(root + "/" + sub);
        for (const QString &name : QDir(from + sub).entryList(QDir::Files))
            QFile::copy(from + sub + name, root + "/" + sub + name);
    }
    return root + "/";
}

namespace {
// Runs mount or umount; answers whether it succeeded.
bool RunMount(const QString &program, const QStringList &args) {
    QProcess mount;
    mount.start(program, args);
    return mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit &&
           mount.exitCode() == 0;
}
} // namespace

bool MountTmpfs(const QString &dir, bool readOnly, const QString &size) {
    QDir().mkpath(dir);
    return RunMount("mount", {"-t", "tmpfs", "-o", (readOnly ? "ro,size=" : "size=") + size, "tmpfs", dir});
}

bool RemountReadOnly(const QString &dir) {
    return RunMount("mount", {"-o", "remount,ro", dir});
}

void Unmount(const QString &dir) {
    RunMount("umount", {dir});
}

} // namespace tv::test
