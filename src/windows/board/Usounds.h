#pragma once
// The five sound cues, played by file name from the current folder while the
// sound option is on.

#include <QString>
#include <functional>

void PlayWrongSound();
void PlayGameOverSound();
void PlayPointSound();
void PlayGameStartSound();
void PlayNewPlayerSound();
void PlaySoundFile(const QString &name);

// Where a played sound goes; tests replace it to see what would be played.
void SetSoundPlayer(std::function<void(const QString &path)> player);
