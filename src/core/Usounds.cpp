#include "core/Usounds.h"

#include "screens/UOptionen.h"

#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>
#include <map>
#include <memory>

namespace {
void playWithQt(const QString &path)
{
    // One effect per file, kept for the program's life, so a cue can start
    // while the previous one still plays and nothing waits for the end.
    static std::map<QString, std::unique_ptr<QSoundEffect>> effects;
    if (!QFileInfo::exists(path))
        return; // a missing file plays nothing, silently
    auto &fx = effects[path];
    if (!fx) {
        fx = std::make_unique<QSoundEffect>();
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
