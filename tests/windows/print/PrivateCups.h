#pragma once
// A print server of the test's own: cupsd started from a private folder with
// its own configuration, listening only on a socket in that folder (never the
// machine's server, never a network port), with queues whose device is a file
// in that folder. Clients find it through CUPS_SERVER, which the caller sets
// before the first use of the print system in the process.
//
// Where cupsd, lpadmin or the PDF filter are missing or the server does not
// come up, Ready() is false and Why() says what is missing, so the test skips.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <memory>
#include <sys/prctl.h>

class TPrivateCups {
public:
    // base: a folder that the print server's filter user may enter.
    explicit TPrivateCups(const QString &base) : m_dir(base + QStringLiteral("/sudoku-cups-XXXXXX"))
    {
        for (const char *tool : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", "/usr/sbin/cupsreject", "/usr/bin/lpstat",
                                 "/usr/lib/cups/filter/pdftopdf"})
            if (!QFileInfo(QString::fromLatin1(tool)).isExecutable()) {
                m_why = QStringLiteral("%1 is not installed").arg(QString::fromLatin1(tool));
                return;
            }
        if (!m_dir.isValid() || m_dir.path().size() > 80) {
            m_why = QStringLiteral("no short private folder for the print server");
            return;
        }
        // The filters run as the server's own user: it must reach the queue's
        // files and the output folder.
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        const QDir d(m_dir.path());
        for (const char *sub : {"spool", "cache", "state", "log", "tmp", "out", "ppd"})
            d.mkpath(QString::fromLatin1(sub));
        for (const char *open : {"tmp", "out"})
            QFile::setPermissions(d.filePath(QString::fromLatin1(open)), QFileDevice::Permissions(0x7777));
        write(QStringLiteral("cupsd.conf"),
              QStringLiteral("Listen %1\nLogLevel warn\nBrowsing No\nDefaultAuthType None\nWebInterface No\n"
                             "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n"
                             "</Policy>\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n")
                  .arg(Socket()));
        write(QStringLiteral("cups-files.conf"),
              QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                             "TempDir %1/tmp\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                             "PageLog %1/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                             "FileDevice Yes\nSandboxing Relaxed\n")
                  .arg(m_dir.path()));
        write(QStringLiteral("pdf.ppd"), QString::fromLatin1(kPpd));
        m_server = std::make_unique<QProcess>();
        m_server->setProgram(QStringLiteral("/usr/sbin/cupsd"));
        m_server->setArguments({QStringLiteral("-f"), QStringLiteral("-c"), d.filePath(QStringLiteral("cupsd.conf")),
                                QStringLiteral("-s"), d.filePath(QStringLiteral("cups-files.conf"))});
        m_server->setProcessChannelMode(QProcess::MergedChannels);
        // A test that dies takes its server with it.
        m_server->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_server->start();
        if (!m_server->waitForStarted(5000)) {
            m_why = QStringLiteral("cupsd does not start");
            return;
        }
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && m_server->state() == QProcess::Running) {
            if (QFileInfo::exists(Socket()) && run(QStringLiteral("/usr/bin/lpstat"), {QStringLiteral("-r")}))
                return;
            QThread::msleep(50);
        }
        m_why = QStringLiteral("cupsd did not come up: ") + QString::fromLocal8Bit(m_server->readAll()) +
                log(QStringLiteral("error_log"));
    }
    ~TPrivateCups()
    {
        if (m_server && m_server->state() != QProcess::NotRunning) {
            m_server->terminate();
            if (!m_server->waitForFinished(5000)) {
                m_server->kill();
                m_server->waitForFinished(5000);
            }
        }
    }
    TPrivateCups(const TPrivateCups &) = delete;
    TPrivateCups &operator=(const TPrivateCups &) = delete;

    bool Ready() const { return m_why.isEmpty(); }
    QString Why() const { return m_why; }
    QString Dir() const { return m_dir.path(); }
    QString Socket() const { return m_dir.path() + QStringLiteral("/cups.sock"); }
    QString Output(const QString &queue) const { return m_dir.path() + QStringLiteral("/out/") + queue + ".pdf"; }

    // A queue that writes every job as PDF to Output(queue), accepting jobs,
    // with extra lpadmin options such as "orientation-requested-default=4".
    bool AddQueue(const QString &queue, const QStringList &options = {})
    {
        QStringList args{QStringLiteral("-p"),
                         queue,
                         QStringLiteral("-E"),
                         QStringLiteral("-v"),
                         QStringLiteral("file://") + Output(queue),
                         QStringLiteral("-P"),
                         m_dir.path() + QStringLiteral("/pdf.ppd")};
        for (const QString &o : options)
            args << QStringLiteral("-o") << o;
        return run(QStringLiteral("/usr/sbin/lpadmin"), args);
    }
    bool SetDefault(const QString &queue)
    {
        return run(QStringLiteral("/usr/sbin/lpadmin"), {QStringLiteral("-d"), queue});
    }
    bool RemoveQueue(const QString &queue)
    {
        return run(QStringLiteral("/usr/sbin/lpadmin"), {QStringLiteral("-x"), queue});
    }
    bool Reject(const QString &queue) { return run(QStringLiteral("/usr/sbin/cupsreject"), {queue}); }
    void RemoveAllQueues()
    {
        QProcess p;
        p.start(QStringLiteral("/usr/bin/lpstat"), {QStringLiteral("-e")});
        p.waitForFinished(10000);
        for (const QString &q : QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
            RemoveQueue(q.trimmed());
    }

    // Waits until the queue holds no job and its output file is there.
    bool WaitForOutput(const QString &queue, int timeoutMs = 20000)
    {
        const QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired()) {
            QProcess p;
            p.start(QStringLiteral("/usr/bin/lpstat"), {QStringLiteral("-o"), queue});
            p.waitForFinished(5000);
            if (p.readAllStandardOutput().trimmed().isEmpty() && QFileInfo(Output(queue)).size() > 0)
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    QString log(const QString &name) const
    {
        QFile f(m_dir.path() + QStringLiteral("/log/") + name);
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
    }

private:
    void write(const QString &name, const QString &text)
    {
        QFile f(m_dir.path() + '/' + name);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(text.toUtf8());
    }
    static bool run(const QString &tool, const QStringList &args)
    {
        QProcess p;
        p.start(tool, args);
        return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    // A PDF printer: the job's PDF after the print system's own page
    // handling (page size, orientation), passed on unchanged.
    static constexpr const char *kPpd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "SUDOKU.PPD"
*Manufacturer: "Sudoku tests"
*Product: "(PDF file)"
*ModelName: "PDF file"
*ShortNickName: "PDF file"
*NickName: "PDF file"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter: "application/vnd.cups-pdf 0 -"
*OpenUI *PageSize/Page Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageSize Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]/ImagingBBox null>>setpagedevice"
*PageRegion Letter/Letter: "<</PageSize[612 792]/ImagingBBox null>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*ImageableArea Letter/Letter: "0 0 612 792"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/Letter: "612 792"
)ppd";

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_server;
    QString m_why;
};
