#include "core/Usounds.h"

#include "screens/UOptionen.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QPointer>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace {
void playWithQt(const QString &path)
{
    // One effect per file, so a cue can start while the previous one still
    // plays and nothing waits for the end. The effects belong to the
    // application object: they must go before Qt Multimedia's own caches,
    // which a static container would outlive.
    static QHash<QString, QPointer<QSoundEffect>> effects;
    if (!QFileInfo::exists(path) || !QCoreApplication::instance())
        return; // a missing file plays nothing, silently
    QPointer<QSoundEffect> &fx = effects[path];
    if (!fx) {
        fx = new QSoundEffect(QCoreApplication::instance());
        fx->setSource(QUrl::fromLocalFile(path));
    }
    fx->stop();
    fx->play();
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
