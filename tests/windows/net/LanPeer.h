#pragma once
// Whole programs on a private bridge: netns_harness.sh makes the network
// namespaces, an orchestrator (running in the caller's namespace) starts one
// peer process in each, and every peer builds the program's windows as the
// entry does, with its own settings, data and temporary folders, and the
// production addresses (listener on 0.0.0.0, search to 255.255.255.255,
// port 2401). A peer refuses to run outside a namespace of its own.
//
// Loss: with a percentage, every namespace drops that share of the UDP
// datagrams arriving on its eth0 for port 2401 (an nftables rule inside the
// namespace; the machine's own rules are never touched).

#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "board/USudokuApp.h"
#include "board/Usounds.h"
#include "net/UNETZ.h"
#include "net/USucheSpiele.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "ui/DialogService.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

namespace lanpeer {

inline QByteArray netnsLink()
{
    char buf[256];
    const ssize_t n = readlink("/proc/self/ns/net", buf, sizeof buf);
    return n > 0 ? QByteArray(buf, int(n)) : QByteArray();
}

// True inside a namespace other than the one the orchestrator ran in.
inline bool insideOwnNamespace()
{
    const QByteArray mine = netnsLink();
    const QByteArray outside = qgetenv("SUDOKU_NETNS_OUTSIDE");
    return !mine.isEmpty() && !outside.isEmpty() && mine != outside;
}

// Whether this machine can run the bridge at all; why not, in reason.
inline bool canRunBridge(QString &reason)
{
    if (geteuid() != 0) {
        reason = QStringLiteral("network namespaces need root");
        return false;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty() &&
        !QFile::exists(QStringLiteral("/usr/sbin/ip")) && !QFile::exists(QStringLiteral("/sbin/ip"))) {
        reason = QStringLiteral("the ip tool is missing");
        return false;
    }
    return true;
}

inline QString nftTool()
{
    for (const QString &p : {QStringLiteral("/usr/sbin/nft"), QStringLiteral("/sbin/nft")})
        if (QFile::exists(p))
            return p;
    return QStandardPaths::findExecutable(QStringLiteral("nft"));
}

// Boxes of a program nobody watches: each text is kept and printed, every
// question answered with its default.
class TUnwatchedDialogs : public TDialogService {
public:
    QStringList Texts;
    int MessageDlg(const QString &text, TMsgDlgType, TMsgDlgButtons) override
    {
        Texts << text;
        std::printf("DIALOG %s\n", qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        std::fflush(stdout);
        return mrOk;
    }
    QString SaveFileName(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    QString OpenFileName(QWidget *, const QString &, const QString &, const QString &) override { return QString(); }
    QString Directory(QWidget *, const QString &, const QString &) override { return QString(); }
    bool ChooseColor(QWidget *, QColor &) override { return false; }
    bool PrintSetup(QWidget *, QPrinter *) override { return false; }
};

// One program of the bridge: the windows as the entry builds them, started
// up to the start screen. Dialogs are scripted (a modal box would hang the
// run) and sounds go nowhere.
class TProgram {
public:
    TProgram(const QString &nickname)
    {
        InstallDialogService(&Dialogs);
        SetSoundPlayer([](const QString &) {});
        RegWriteInteger(QStringLiteral("Disclaimer"), 1);
        RegWriteString(QStringLiteral("Nickname"), nickname);
        CreateSudokuWindows();
        Form1->show();
        while (Form1->SplashTimer->isActive() && Form1->SplashTimer->Tag < 160)
            Form1->SplashTimerTimer();
    }
    ~TProgram()
    {
        DestroySudokuWindows();
        SetSoundPlayer(nullptr);
        InstallDialogService(nullptr);
    }
    TUnwatchedDialogs Dialogs;
};

// What became of one peer: its exit code (-1 when it did not end by
// itself), whether a signal ended it, and its output.
struct TPeerRun {
    int ExitCode = -1;
    bool Crashed = false;
    QString Output;
};

// How peer i starts: the program's arguments, further variables (NAME=value,
// they override the production ones), and, when After is not empty, only
// once another peer has printed a line that is After or starts with After
// and a blank: a program started later, as by a user who comes later.
struct TPeerStart {
    QStringList Args;
    QStringList Env;
    QString After;
};
// Makes namespace ns drop lossPercent % of the UDP datagrams for port 2401
// arriving on its eth0. Only what arrives over the bridge is lost; the
// machine's own loopback stays whole, as on a real network. On a busy
// machine nft can be slow to come back: it is given time, and a second try.
inline bool addLoss(const QString &ns, int lossPercent, QString &why)
{
    const QByteArray rules = QStringLiteral("table inet sudoku_loss {\n"
                                            "  chain input {\n"
                                            "    type filter hook input priority 0; policy accept;\n"
                                            "    iifname \"eth0\" udp dport 2401 numgen random mod 100 < %1 counter drop\n"
                                            "  }\n"
                                            "}\n")
                                 .arg(lossPercent)
                                 .toLatin1();
    for (int attempt = 0; attempt < 2; ++attempt) {
        QProcess nft;
        nft.start(QStringLiteral("ip"),
                  {QStringLiteral("netns"), QStringLiteral("exec"), ns, nftTool(), QStringLiteral("-f"), QStringLiteral("-")});
        if (!nft.waitForStarted(20000)) {
            why = QStringLiteral("nft did not start");
            continue;
        }
        nft.write(rules);
        nft.closeWriteChannel();
        if (nft.waitForFinished(30000) && nft.exitStatus() == QProcess::NormalExit && nft.exitCode() == 0)
            return true;
        why = QStringLiteral("nft: exit %1, %2 %3")
                  .arg(nft.state() == QProcess::NotRunning ? QString::number(nft.exitCode()) : QStringLiteral("timeout"))
                  .arg(QString::fromLocal8Bit(nft.readAllStandardError()).trimmed(),
                       QString::fromLocal8Bit(nft.readAllStandardOutput()).trimmed());
        nft.kill();
        nft.waitForFinished(2000);
        // A table half made by a try that timed out goes before the next.
        QProcess::execute(QStringLiteral("ip"), {QStringLiteral("netns"), QStringLiteral("exec"), ns, nftTool(),
                                                 QStringLiteral("delete"), QStringLiteral("table"),
                                                 QStringLiteral("inet"), QStringLiteral("sudoku_loss")});
    }
    return false;
}

// Whether some line of out is after, or starts with after and a blank.
inline bool printedLine(const QString &out, const QString &after)
{
    for (const QString &line : out.split(QLatin1Char('\n')))
        if (line == after || line.startsWith(after + QLatin1Char(' ')))
            return true;
    return false;
}

// Runs in the caller's namespace with the harness's variables: starts
// `count` peers, peer i in namespace i as start(i) says, each with private
// folders, and returns their exit codes and output once all have ended or
// timeoutMs have gone.
inline std::vector<TPeerRun> runPeers(int count, const std::function<TPeerStart(int)> &start, int lossPercent,
                                      int timeoutMs)
{
    std::vector<TPeerRun> runs(static_cast<size_t>(count));
    QTemporaryDir base;
    const QString outside = QStringLiteral("SUDOKU_NETNS_OUTSIDE=") + QString::fromLatin1(netnsLink());
    // Every namespace loses its share before any peer starts.
    for (int i = 1; i <= count && lossPercent > 0; ++i) {
        QString why;
        if (!addLoss(qEnvironmentVariable(qPrintable(QStringLiteral("NETNS_%1").arg(i))), lossPercent, why)) {
            std::printf("orchestrate: no loss in namespace %d: %s\n", i, qPrintable(why));
            return runs;
        }
    }
    std::vector<TPeerStart> plans;
    for (int i = 1; i <= count; ++i) {
        const QString ns = qEnvironmentVariable(qPrintable(QStringLiteral("NETNS_%1").arg(i)));
        const QString addr = qEnvironmentVariable(qPrintable(QStringLiteral("NETNS_ADDR_%1").arg(i)));
        if (ns.isEmpty() || addr.isEmpty()) {
            std::fprintf(stderr, "orchestrate: run me through netns_harness.sh\n");
            return runs;
        }
        plans.push_back(start(i));
    }
    std::vector<std::unique_ptr<QProcess>> procs(static_cast<size_t>(count));
    auto launch = [&](int i) {
        const QString ns = qEnvironmentVariable(qPrintable(QStringLiteral("NETNS_%1").arg(i)));
        const QString addr = qEnvironmentVariable(qPrintable(QStringLiteral("NETNS_ADDR_%1").arg(i)));
        const QString dir = base.path() + QStringLiteral("/peer%1").arg(i);
        for (const char *sub : {"settings", "data", "tmp"})
            QDir().mkpath(dir + QLatin1Char('/') + QLatin1String(sub));
        QStringList cmd = {QStringLiteral("netns"),
                           QStringLiteral("exec"),
                           ns,
                           QStringLiteral("env"),
                           QStringLiteral("-u"),
                           QStringLiteral("SUDOKU_LOOPBACK_ONLY"),
                           QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                           QStringLiteral("SUDOKU_BIND_ADDRESS=0.0.0.0"),
                           QStringLiteral("SUDOKU_BROADCAST_ADDRESS=255.255.255.255"),
                           QStringLiteral("SUDOKU_SELF_IP=") + addr,
                           QStringLiteral("SUDOKU_SETTINGS_DIR=") + dir + QStringLiteral("/settings"),
                           QStringLiteral("SUDOKU_DATA_DIR=") + dir + QStringLiteral("/data"),
                           QStringLiteral("TMPDIR=") + dir + QStringLiteral("/tmp"),
                           outside};
        cmd << plans[size_t(i - 1)].Env << QCoreApplication::applicationFilePath() << plans[size_t(i - 1)].Args;
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QStringLiteral("ip"), cmd);
        procs[size_t(i - 1)] = std::move(p);
    };
    for (int i = 1; i <= count; ++i)
        if (plans[size_t(i - 1)].After.isEmpty())
            launch(i);

    // Outputs are read as they come, so that a later peer starts when its
    // line appears, and no peer blocks on a full pipe.
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        bool running = false;
        for (int i = 1; i <= count; ++i) {
            QProcess *p = procs[size_t(i - 1)].get();
            if (p) {
                runs[size_t(i - 1)].Output += QString::fromLocal8Bit(p->readAll());
                running = running || p->state() != QProcess::NotRunning;
                continue;
            }
            const QString &after = plans[size_t(i - 1)].After;
            for (const TPeerRun &r : runs)
                if (printedLine(r.Output, after)) {
                    launch(i);
                    running = true;
                    break;
                }
        }
        // A peer waiting for a line that nobody can print any more never starts.
        if (!running || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    tick.start(50);
    loop.exec();
    for (int i = 1; i <= count; ++i) {
        TPeerRun &run = runs[size_t(i - 1)];
        QProcess *p = procs[size_t(i - 1)].get();
        if (!p) {
            run.Output += QStringLiteral("never started: nobody printed \"%1\"\n").arg(plans[size_t(i - 1)].After);
            continue;
        }
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(2000);
        } else if (p->exitStatus() == QProcess::NormalExit) {
            run.ExitCode = p->exitCode();
        } else {
            run.Crashed = true;
        }
        run.Output += QString::fromLocal8Bit(p->readAll());
    }
    if (lossPercent > 0) {
        // How much was dropped, as the rule counted it.
        for (int i = 1; i <= count; ++i) {
            QProcess nft;
            nft.start(QStringLiteral("ip"), {QStringLiteral("netns"), QStringLiteral("exec"),
                                             qEnvironmentVariable(qPrintable(QStringLiteral("NETNS_%1").arg(i))),
                                             nftTool(), QStringLiteral("list"), QStringLiteral("table"),
                                             QStringLiteral("inet"), QStringLiteral("sudoku_loss")});
            nft.waitForFinished(5000);
            const QString listing = QString::fromLocal8Bit(nft.readAllStandardOutput());
            const int at = listing.indexOf(QStringLiteral("counter packets "));
            runs[size_t(i - 1)].Output +=
                QStringLiteral("DROPPED %1\n")
                    .arg(at < 0 ? QStringLiteral("?") : listing.mid(at + 16).section(' ', 0, 0));
        }
    }
    return runs;
}

// All peers at once, peer i with the arguments args(i).
inline std::vector<TPeerRun> runPeers(int count, const std::function<QStringList(int)> &args, int lossPercent,
                                      int timeoutMs)
{
    return runPeers(
        count,
        [&](int i) {
            return TPeerStart{args(i), {}, {}};
        },
        lossPercent, timeoutMs);
}

} // namespace lanpeer

// One turn of a client that has not logged in yet and looks again, as a user
// does when a search goes unanswered or a login is lost: from the start
// screen it searches again; in the search window it joins a waiting game if
// one is listed, else searches again, by broadcast or, with typedHost, by
// typing the host's address on the intranet tab. every(ms) says whether that
// much time has gone since the last try.
inline void SearchAgainTurn(bool viaSearchWindow, const std::function<bool(int)> &every,
                            const QString &typedHost = QString())
{
    if (!viaSearchWindow) {
        if (FormStart->isVisible() && !FormStart->Warte->isActive() && every(500)) {
            FormStart->BTC_weiterClick();
        } else if (!FormStart->isVisible() && NETZ->MyPlayerNo == 0 && every(2500)) {
            FormStart->show();
            FormStart->BTC_weiterClick();
        }
    } else if (every(1200)) {
        bool waiting = false;
        for (int i = 0; i < FormSucheSpiele->RowCount(); ++i)
            if (FormSucheSpiele->RowTexts(i).at(scStatus) == QLatin1String("wartet")) {
                FormSucheSpiele->Games->setCurrentItem(FormSucheSpiele->Games->topLevelItem(i));
                waiting = true;
            }
        if (waiting) {
            FormSucheSpiele->GamesDblClick();
        } else if (!typedHost.isEmpty()) {
            FormSucheSpiele->ShowTab(2);
            FormSucheSpiele->NewServerEdit->setText(typedHost);
            FormSucheSpiele->bt_addClick();
        } else {
            FormSucheSpiele->bt_suchenClick();
        }
    }
}

// A line to the orchestrator, at once.
inline void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

inline bool queuesEmpty()
{
    for (int p = 1; p <= 8; ++p)
        if (NETZ->QueuedCount(p) > 0)
            return false;
    return true;
}

// "1=name@address 2=..." of the active slots, as this machine sees them.
inline QString tableText()
{
    QStringList parts;
    for (int p = 1; p <= 8; ++p) {
        const TPlayerRecord &r = Form1->Players[p];
        if (r.Active)
            parts << QStringLiteral("%1=%2@%3").arg(p).arg(r.Name, r.Address);
    }
    return parts.join(QLatin1Char(' '));
}

// One machine's part in a whole-program LAN game, driven by a 20 ms timer:
// each step waits for what a user would wait for, then acts as the user
// would. The part goes through numbered phases.
class TLanScript : public QObject {
public:
    int Rc = 2;

protected:
    explicit TLanScript(const QString &role) : Role(role)
    {
        clock.start();
        // The trace of a peer that times out tells why.
        Trace->cb_telegramm_in->setChecked(true);
        Trace->cb_sonst->setChecked(true);
        connect(&timer, &QTimer::timeout, this, [this] { step(); });
        timer.start(20);
    }
    virtual void step() = 0;

    QString Role;
    QTimer timer;
    QElapsedTimer clock;
    int phase = 0;
    qint64 phaseAt = 0;
    qint64 lastTry = -100000;
    int tries = 0;
    bool sawRunning = false;

    bool isHost() const { return Role == QLatin1String("host"); }
    qint64 inPhase() const { return clock.elapsed() - phaseAt; }
    void next()
    {
        ++phase;
        phaseAt = clock.elapsed();
        tries = 0;
    }
    // Whether ms have gone since the last try; if so, this is the next try.
    bool every(int ms)
    {
        if (clock.elapsed() - lastTry < ms)
            return false;
        lastTry = clock.elapsed();
        return true;
    }
    void finish(int rc)
    {
        Rc = rc;
        say(QStringLiteral("END %1 rc=%2").arg(Role).arg(rc));
        timer.stop();
        QTimer::singleShot(300, qApp, [] { QCoreApplication::quit(); });
    }
    // The game ran here and is over, with its end-of-game window shown.
    bool gameOverSeen()
    {
        if (Form1->GameRunning)
            sawRunning = true;
        return sawRunning && !Form1->GameRunning && FormSpielEnde->isVisible();
    }
    void openMultiPlayer()
    {
        FormStart->Tab_EinzelspielerClick(FormStart->Tab_Mehrspieler);
        FormStart->BTC_LANClick();
    }
    // Says why the part gave up, with the newest trace lines, and ends it.
    void giveUp(const QString &state)
    {
        say(QStringLiteral("TIMEOUT %1 %2").arg(Role, state));
        for (const QString &line : Trace->LogBox->Items().mid(Trace->LogBox->Count() - 40))
            say(QStringLiteral("  trace: ") + line);
        finish(2);
    }
};

// Runs one machine's part, inside its own namespace and on the production
// addresses only; 3 when it is anywhere else.
inline int RunPeerPart(const QString &role, const std::function<std::unique_ptr<TLanScript>()> &makeScript)
{
    if (!lanpeer::insideOwnNamespace()) {
        std::fprintf(stderr, "peer: not inside a private network namespace, refusing\n");
        return 3;
    }
    lanpeer::TProgram program(role);
    if (SudokuEnv().LoopbackOnly || SudokuEnv().BroadcastAddress != QLatin1String("255.255.255.255")) {
        std::fprintf(stderr, "peer: not on the production addresses\n");
        return 3;
    }
    const std::unique_ptr<TLanScript> script = makeScript();
    QCoreApplication::exec();
    return script->Rc;
}

// Prints each machine's output under its role; 0 when every one ended well
// (the roles in killed: by a signal) and as many ran as there are roles.
inline int ReportPeerRuns(const QStringList &roles, const std::vector<lanpeer::TPeerRun> &runs,
                          const QStringList &killed = {})
{
    int rc = runs.size() == size_t(roles.size()) ? 0 : 1;
    for (size_t i = 0; i < runs.size(); ++i) {
        const bool mustDie = killed.contains(roles.value(int(i)));
        std::printf("---- %s (%s)\n%s", qPrintable(roles.value(int(i))),
                    runs[i].Crashed ? "killed" : qPrintable(QStringLiteral("rc %1").arg(runs[i].ExitCode)),
                    qPrintable(runs[i].Output));
        if (mustDie ? !runs[i].Crashed : runs[i].ExitCode != 0)
            rc = 1;
    }
    std::fflush(stdout);
    return rc;
}

// The value after "KEY role " in the output, per role.
inline QMap<QString, QString> linesOf(const QString &out, const QString &key)
{
    QMap<QString, QString> m;
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        if (!line.startsWith(key + QLatin1Char(' ')))
            continue;
        const QString rest = line.mid(key.size() + 1);
        m.insert(rest.section(QLatin1Char(' '), 0, 0), rest.section(QLatin1Char(' '), 1));
    }
    return m;
}
