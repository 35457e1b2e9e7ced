// SPDX-License-Identifier: GPL-3.0-or-later
// Installing: cmake --install into a prefix, and the Debian package, checked
// with the desktop's own validators.
#include "fixtures/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace TestHelpers;

namespace {

struct Ran
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Ran run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(240000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;

    QString installed(const QString &relative) const { return m_prefix.path() + u'/' + relative; }

private Q_SLOTS:
    void initTestCase()
    {
        const Ran install =
            run(QStringLiteral(TIDEWELL_CMAKE), {QStringLiteral("--install"), QStringLiteral(TIDEWELL_BUILD_DIR),
                                                 QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY2(install.status == 0, install.err.constData());
    }

    void theProgramAndItsFiles()
    {
        const QString binary = installed(QStringLiteral("bin/tidewell"));
        QVERIFY(QFileInfo(binary).isExecutable());
        const Ran version = run(binary, {QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QByteArray("Tidewell " TIDEWELL_PROJECT_VERSION "\n"));
        QVERIFY(QFile::exists(installed(QStringLiteral("share/doc/tidewell/copyright"))));
        // The installed binary finds its catalogues under share/tidewell.
        QProcessEnvironment german = QProcessEnvironment::systemEnvironment();
        german.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        german.remove(QStringLiteral("LANGUAGE"));
        german.remove(QStringLiteral("LC_ALL"));
        QVERIFY(run(binary, {QStringLiteral("--help")}, german).out.startsWith("Aufruf: tidewell"));
        // Nothing of the tests or tools goes along.
        QCOMPARE(QDir(installed(QStringLiteral("bin"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("tidewell")});
    }

    void desktopEntryPassesItsValidator()
    {
        const QString entry = installed(QStringLiteral("share/applications/org.tidewell.Tidewell.desktop"));
        QVERIFY(QFile::exists(entry));
        const Ran validate = run(QStringLiteral("/usr/bin/desktop-file-validate"), {entry});
        QVERIFY2(validate.status == 0, QByteArray(validate.out + validate.err).constData());
        QVERIFY(validate.out.isEmpty());
        const QByteArray text = readFile(entry);
        QVERIFY(text.contains("\nExec=tidewell\n"));
        QVERIFY(text.contains("\nIcon=org.tidewell.Tidewell\n"));
    }

    void metainfoPassesItsValidator()
    {
        const QString metainfo = installed(QStringLiteral("share/metainfo/org.tidewell.Tidewell.metainfo.xml"));
        QVERIFY(QFile::exists(metainfo));
        const Ran validate = run(QStringLiteral("/usr/bin/appstreamcli"),
                                 {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo});
        QVERIFY2(validate.status == 0, QByteArray(validate.out + validate.err).constData());
        // The newest release is the program's version.
        const QRegularExpression release(QStringLiteral("<release version=\"([^\"]+)\""));
        QCOMPARE(release.match(QString::fromUtf8(readFile(metainfo))).captured(1),
                 QStringLiteral(TIDEWELL_PROJECT_VERSION));
    }

    void iconsInEverySize()
    {
        const QString svg = installed(QStringLiteral("share/icons/hicolor/scalable/apps/org.tidewell.Tidewell.svg"));
        QVERIFY(readFile(svg).contains("<svg xmlns=\"http://www.w3.org/2000/svg\""));
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QImage png(
                installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/org.tidewell.Tidewell.png").arg(size)));
            QCOMPARE(png.size(), QSize(size, size));
            // Drawn: opaque in the middle, transparent in the corner.
            QCOMPARE(png.pixelColor(size / 2, size / 2).alpha(), 255);
            QCOMPARE(png.pixelColor(0, 0).alpha(), 0);
        }
    }

    void manPageRendersWithoutWarnings()
    {
        const QString page = installed(QStringLiteral("share/man/man1/tidewell.1.gz"));
        QVERIFY(QFile::exists(page));
        // Portable: an ASCII terminal too renders it without a warning.
        for (const QString &locale : {QStringLiteral("C.UTF-8"), QStringLiteral("C")}) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
            env.insert(QStringLiteral("LC_ALL"), locale);
            const Ran man =
                run(QStringLiteral("/usr/bin/man"), {QStringLiteral("--warnings"), QStringLiteral("-l"), page}, env);
            QCOMPARE(man.status, 0);
            QCOMPARE(man.err, QByteArray());
            QVERIFY(man.out.contains("--run-backup SERVER"));
            QVERIFY(man.out.contains("EXIT STATUS"));
        }
    }

    // The .deb: its control file names what Tidewell needs to run, its files
    // are the installed ones, and apt can install it here (simulated: the
    // suite does not change the system).
    void debianPackage()
    {
        QTemporaryDir out;
        const Ran cpack = run(QStringLiteral(TIDEWELL_CPACK),
                              {QStringLiteral("--config"), QStringLiteral(TIDEWELL_BUILD_DIR "/CPackConfig.cmake"),
                               QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out.path()});
        QVERIFY2(cpack.status == 0, QByteArray(cpack.out + cpack.err).constData());
        const QStringList debs = QDir(out.path()).entryList({QStringLiteral("tidewell_*.deb")});
        QCOMPARE(debs.size(), 1);
        const QString deb = out.path() + u'/' + debs.first();
        QVERIFY(debs.first().startsWith(QStringLiteral("tidewell_" TIDEWELL_PROJECT_VERSION "_")));

        const Ran info = run(QStringLiteral("/usr/bin/dpkg-deb"),
                             {QStringLiteral("-f"), deb, QStringLiteral("Package"), QStringLiteral("Depends")});
        QCOMPARE(info.status, 0);
        const QString control = QString::fromUtf8(info.out);
        QVERIFY(control.contains(QStringLiteral("Package: tidewell\n")));
        for (const char *dependency : {"rsync", "openssh-client", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                                       "libqt6dbus6", "libqcoro6core0", "libqcoro6dbus0"})
            QVERIFY2(control.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(QLatin1String(dependency)))),
                     dependency);
        // The X11 platform plugin comes with libqt6gui6; qt6-qpa-plugins is not needed.
        QVERIFY(!control.contains(QStringLiteral("openssh-server")));
        QVERIFY(!control.contains(QStringLiteral("qt6-qpa-plugins")));

        const Ran contents = run(QStringLiteral("/usr/bin/dpkg-deb"), {QStringLiteral("-c"), deb});
        QCOMPARE(contents.status, 0);
        for (const char *file :
             {"./usr/bin/tidewell", "./usr/share/applications/org.tidewell.Tidewell.desktop",
              "./usr/share/metainfo/org.tidewell.Tidewell.metainfo.xml",
              "./usr/share/icons/hicolor/scalable/apps/org.tidewell.Tidewell.svg",
              "./usr/share/icons/hicolor/48x48/apps/org.tidewell.Tidewell.png", "./usr/share/man/man1/tidewell.1.gz",
              "./usr/share/doc/tidewell/copyright", "./usr/share/doc/tidewell/changelog.gz",
              "./usr/share/tidewell/translations/tidewell_de.qm", "./usr/share/tidewell/translations/tidewell_fr.qm",
              "./usr/share/tidewell/translations/tidewell_en.qm"})
            QVERIFY2(contents.out.contains(file), file);
        QVERIFY(!contents.out.contains("tst_"));

        // Debian's own checks: no error, no warning.
        if (QFile::exists(QStringLiteral("/usr/bin/lintian"))) {
            const Ran lintian = run(QStringLiteral("/usr/bin/lintian"),
                                    {QStringLiteral("--fail-on"), QStringLiteral("error,warning"), deb});
            QVERIFY2(lintian.status == 0, QByteArray(lintian.out + lintian.err).constData());
        } else {
            qWarning("lintian is not installed (Debian: lintian): the package was not checked by it");
        }

        const Ran apt = run(QStringLiteral("/usr/bin/apt-get"),
                            {QStringLiteral("install"), QStringLiteral("--simulate"), QStringLiteral("-q"), deb});
        QVERIFY2(apt.status == 0, QByteArray(apt.out + apt.err).constData());
        QVERIFY(apt.out.contains("Inst tidewell"));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_Install.moc"
