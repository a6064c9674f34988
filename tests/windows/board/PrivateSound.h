#pragma once
// A sound server of the test's own: PulseAudio started from a private folder
// (own runtime folder, own socket, no default configuration) with one null
// sink, and a recording of that sink's monitor. Clients find it through
// PULSE_SERVER, which the caller sets before the first sound in the process.
//
// Where pulseaudio or parec are missing or the server does not come up,
// Ready() is false and Why() says why, so the test skips.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <memory>
#include <sys/prctl.h>
#include <vector>

class TPrivateSound {
public:
    static constexpr int kRate = 44100; // of the recording, mono 16 bit

    explicit TPrivateSound(const QString &base) : m_dir(base + QStringLiteral("/sudoku-sound-XXXXXX"))
    {
        for (const char *tool : {"/usr/bin/pulseaudio", "/usr/bin/parec", "/usr/bin/pactl"})
            if (!QFileInfo(QString::fromLatin1(tool)).isExecutable()) {
                m_why = QStringLiteral("%1 is not installed").arg(QString::fromLatin1(tool));
                return;
            }
        if (!m_dir.isValid() || Socket().size() > 100) {
            m_why = QStringLiteral("no short private folder for the sound server");
            return;
        }
        for (const char *sub : {"run", "home", "state"})
            QDir(m_dir.path()).mkpath(QString::fromLatin1(sub));
        if (!Start())
            return;
    }
    ~TPrivateSound()
    {
        StopRecording();
        Stop();
    }
    TPrivateSound(const TPrivateSound &) = delete;
    TPrivateSound &operator=(const TPrivateSound &) = delete;

    bool Ready() const { return m_why.isEmpty(); }
    QString Why() const { return m_why; }
    QString Dir() const { return m_dir.path(); }
    QString Socket() const { return m_dir.path() + QStringLiteral("/native"); }
    QString Server() const { return QStringLiteral("unix:") + Socket(); }

    // Starts the server (again, after Stop()) on the same socket.
    bool Start()
    {
        m_why.clear();
        QFile::remove(Socket());
        m_server = makeProcess(
            QStringLiteral("/usr/bin/pulseaudio"),
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("--use-pid-file=no"), QStringLiteral("--disable-shm=yes"),
             QStringLiteral("--log-target=stderr"),
             QStringLiteral("--load=module-null-sink sink_name=sudoku_null rate=%1").arg(kRate),
             QStringLiteral("--load=module-native-protocol-unix socket=%1 auth-anonymous=1").arg(Socket())});
        m_server->start();
        if (!m_server->waitForStarted(5000)) {
            m_why = QStringLiteral("pulseaudio does not start");
            return false;
        }
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && m_server->state() == QProcess::Running) {
            if (QFileInfo::exists(Socket()) && run(QStringLiteral("/usr/bin/pactl"), {QStringLiteral("info")}))
                return true;
            QThread::msleep(50);
        }
        m_why = QStringLiteral("pulseaudio did not come up: ") + QString::fromLocal8Bit(m_server->readAll());
        Stop();
        return false;
    }
    // Ends the server, as when the sound system goes away.
    void Stop()
    {
        end(m_server.get());
        m_server.reset();
    }

    // Records the null sink's monitor into a file until StopRecording().
    bool StartRecording()
    {
        StopRecording();
        m_recording = m_dir.path() + QStringLiteral("/recording.raw");
        QFile::remove(m_recording);
        m_recorder = makeProcess(QStringLiteral("/usr/bin/parec"),
                                 {QStringLiteral("-d"), QStringLiteral("sudoku_null.monitor"), QStringLiteral("--raw"),
                                  QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(kRate),
                                  QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=20")});
        m_recorder->setProcessChannelMode(QProcess::SeparateChannels);
        m_recorder->setStandardOutputFile(m_recording);
        m_recorder->start();
        if (!m_recorder->waitForStarted(5000))
            return false;
        // Recording has begun once samples arrive; setting the stream up
        // can take a while on a busy machine.
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && m_recorder->state() == QProcess::Running) {
            if (QFileInfo(m_recording).size() >= kRate / 10)
                return true;
            QThread::msleep(10);
        }
        return false;
    }
    // The recorded samples, mono at kRate.
    std::vector<int16_t> StopRecording()
    {
        end(m_recorder.get());
        m_recorder.reset();
        std::vector<int16_t> samples;
        QFile f(m_recording);
        if (!m_recording.isEmpty() && f.open(QIODevice::ReadOnly)) {
            const QByteArray raw = f.readAll();
            samples.resize(size_t(raw.size() / 2));
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = qFromLittleEndian<int16_t>(raw.constData() + 2 * i);
        }
        return samples;
    }

private:
    static void end(QProcess *p)
    {
        if (!p || p->state() == QProcess::NotRunning)
            return;
        p->terminate();
        if (!p->waitForFinished(5000)) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
    QProcessEnvironment env() const
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("HOME"), m_dir.path() + QStringLiteral("/home"));
        e.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path() + QStringLiteral("/run"));
        e.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir.path() + QStringLiteral("/run/pulse"));
        e.insert(QStringLiteral("PULSE_STATE_PATH"), m_dir.path() + QStringLiteral("/state"));
        e.insert(QStringLiteral("PULSE_SERVER"), Server());
        e.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        return e;
    }
    std::unique_ptr<QProcess> makeProcess(const QString &program, const QStringList &args) const
    {
        auto p = std::make_unique<QProcess>();
        p->setProgram(program);
        p->setArguments(args);
        p->setProcessEnvironment(env());
        p->setProcessChannelMode(QProcess::MergedChannels);
        // A test that dies takes its server with it.
        p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        return p;
    }
    bool run(const QString &tool, const QStringList &args) const
    {
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(tool, args);
        return p.waitForFinished(5000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_recorder;
    QString m_recording;
    QString m_why;
};

// A tone of that length, written as a 16-bit mono WAV file: constant
// loudness with short ramps, so that how long it was heard can be measured.
inline bool WriteToneWav(const QString &path, double seconds, double hz, int rate = 22050)
{
    const int n = int(seconds * rate);
    QByteArray data;
    data.resize(2 * n);
    const int ramp = rate / 200; // 5 ms
    for (int i = 0; i < n; ++i) {
        const double env = std::min({1.0, double(i) / ramp, double(n - 1 - i) / ramp});
        const auto v = int16_t(std::lround(16000 * env * std::sin(2 * M_PI * hz * i / rate)));
        qToLittleEndian<int16_t>(v, data.data() + 2 * i);
    }
    QByteArray wav;
    auto u32 = [&wav](quint32 v) {
        char b[4];
        qToLittleEndian<quint32>(v, b);
        wav.append(b, 4);
    };
    auto u16 = [&wav](quint16 v) {
        char b[2];
        qToLittleEndian<quint16>(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(quint32(36 + data.size()));
    wav.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(quint32(rate));
    u32(quint32(rate * 2));
    u16(2);
    u16(16);
    wav.append("data");
    u32(quint32(data.size()));
    wav.append(data);
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(wav) == wav.size();
}

// The stretches of a recording that are louder than a tenth of full scale,
// in seconds from its start: (start, length). Gaps under 30 ms are bridged.
inline QList<QPair<double, double>> LoudStretches(const std::vector<int16_t> &samples, int rate)
{
    const int frame = rate / 200; // 5 ms
    QList<QPair<double, double>> out;
    int start = -1, lastLoud = -1;
    for (size_t f = 0; f * frame + frame <= samples.size(); ++f) {
        double sum = 0;
        for (int i = 0; i < frame; ++i) {
            const double v = samples[f * frame + size_t(i)] / 32768.0;
            sum += v * v;
        }
        const bool loud = std::sqrt(sum / frame) > 0.1;
        if (loud) {
            if (start >= 0 && int(f) - lastLoud > 6) {
                out.append({double(start) * frame / rate, double(lastLoud + 1 - start) * frame / rate});
                start = -1;
            }
            if (start < 0)
                start = int(f);
            lastLoud = int(f);
        }
    }
    if (start >= 0)
        out.append({double(start) * frame / rate, double(lastLoud + 1 - start) * frame / rate});
    return out;
}
