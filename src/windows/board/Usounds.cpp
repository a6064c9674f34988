#include "board/Usounds.h"

#include "screens/UOptionen.h"

#include "files/Usounds_Wave.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>

namespace {
// Silence behind every sound: the stream keeps running while the sound
// plays out of the server's buffer.
constexpr int kTailMs = 300;

// One play of one cue: an output stream of its own, fed from memory and
// closed once the sound has had time to play out. A stream per play keeps
// every play whole, the hundredth as the first, and a new stream finds a
// sound server that went away and came back. It belongs to the application
// object and goes by itself.
class TCuePlay : public QObject {
public:
    TCuePlay(const TWaveSound &sound, const QAudioDevice &device, QObject *parent) : QObject(parent)
    {
        QAudioFormat format;
        format.setSampleRate(sound.Rate);
        format.setChannelCount(sound.Channels);
        format.setSampleFormat(sound.Kind == TWaveSound::UInt8   ? QAudioFormat::UInt8
                               : sound.Kind == TWaveSound::Int16 ? QAudioFormat::Int16
                               : sound.Kind == TWaveSound::Int32 ? QAudioFormat::Int32
                                                                 : QAudioFormat::Float);
        const qsizetype tail = qsizetype(sound.Rate) * kTailMs / 1000 * sound.BytesPerFrame();
        m_data = sound.Samples + QByteArray(tail, sound.Kind == TWaveSound::UInt8 ? char(0x80) : char(0));
        // The whole sound goes to the server at once where its buffer takes
        // it, so a busy program cannot starve the stream halfway.
        m_sink = new QAudioSink(device, format, this);
        m_sink->setBufferSize(m_data.size());
        m_out = m_sink->start();
        feed();
        if (m_sink->error() == QAudio::NoError && m_out) {
            connect(&m_feeder, &QTimer::timeout, this, &TCuePlay::feed);
            m_feeder.start(20);
        }
        const int lifeMs = m_sink->error() == QAudio::NoError ? int(sound.DurationMs()) + kTailMs + 500 : 0;
        QTimer::singleShot(lifeMs, this, [this] {
            m_sink->stop();
            deleteLater();
        });
    }

private:
    void feed()
    {
        while (m_out && m_sent < m_data.size() && m_sink->bytesFree() > 0) {
            const qint64 n = m_out->write(m_data.constData() + m_sent,
                                          std::min<qint64>(m_sink->bytesFree(), m_data.size() - m_sent));
            if (n <= 0)
                break;
            m_sent += n;
        }
        if (m_sent >= m_data.size())
            m_feeder.stop();
    }

    QByteArray m_data;
    qint64 m_sent = 0;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_out = nullptr;
    QTimer m_feeder;
};

void playWithQt(const QString &path)
{
    if (!QCoreApplication::instance())
        return;
    // A missing or unreadable file, or no sound output, plays nothing, silently.
    QFile file(path);
    TWaveSound sound;
    if (!file.open(QIODevice::ReadOnly) || !ParseWave(file.readAll(), sound) || sound.Frames() == 0)
        return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;
    new TCuePlay(sound, device, QCoreApplication::instance());
}

std::function<void(const QString &)> &player()
{
    static std::function<void(const QString &)> p = playWithQt;
    return p;
}
} // namespace

void SetSoundPlayer(std::function<void(const QString &path)> p) { player() = p ? std::move(p) : playWithQt; }

void PlaySoundFile(const QString &name)
{
    if (!FormOpt || !FormOpt->IsSoundOn())
        return;
    player()(QDir::current().absoluteFilePath(name));
}

void PlayWrongSound() { PlaySoundFile(QStringLiteral("falsch.wav")); }
void PlayGameOverSound() { PlaySoundFile(QStringLiteral("gameover.wav")); }
void PlayPointSound() { PlaySoundFile(QStringLiteral("pkt.wav")); }
void PlayGameStartSound() { PlaySoundFile(QStringLiteral("gamestart.wav")); }
void PlayNewPlayerSound() { PlaySoundFile(QStringLiteral("newgamer.wav")); }
