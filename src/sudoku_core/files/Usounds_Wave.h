#pragma once
// The sound files' format: a RIFF "WAVE" file with uncompressed samples.
// Reading one needs no window and no sound device.

#include <QByteArray>
#include <QString>

struct TWaveSound {
    enum TSampleKind { UInt8, Int16, Int32, Float32 };
    int Rate = 0;     // frames a second
    int Channels = 0; // 1 or more, interleaved
    TSampleKind Kind = Int16;
    QByteArray Samples; // whole frames only, as stored (little-endian)

    int BytesPerFrame() const { return Channels * (Kind == UInt8 ? 1 : Kind == Int16 ? 2 : 4); }
    int Frames() const { return BytesPerFrame() > 0 ? int(Samples.size() / BytesPerFrame()) : 0; }
    qint64 DurationMs() const { return Rate > 0 ? qint64(Frames()) * 1000 / Rate : 0; }
};

// Reads a whole file's bytes. False, with the reason in error, for anything
// that is not a WAVE file of 8-, 16- or 32-bit integer or 32-bit float
// samples at 1 to 384000 frames a second with 1 to 8 channels.
bool ParseWave(const QByteArray &file, TWaveSound &out, QString *error = nullptr);
