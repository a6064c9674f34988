#include "files/Usounds_Wave.h"

#include <QtEndian>

namespace {
quint32 u32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}
quint16 u16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

bool refuse(QString *error, const char *why)
{
    if (error)
        *error = QString::fromLatin1(why);
    return false;
}
} // namespace

bool ParseWave(const QByteArray &file, TWaveSound &out, QString *error)
{
    out = TWaveSound();
    const char *d = file.constData();
    const qint64 size = file.size();
    if (size < 12 || file.left(4) != "RIFF" || file.mid(8, 4) != "WAVE")
        return refuse(error, "not a RIFF WAVE file");
    bool haveFormat = false, haveData = false;
    int bits = 0, tag = 0;
    // Chunks follow one another, each padded to an even length; a data chunk
    // that claims more than the file holds is taken as far as the file goes.
    for (qint64 at = 12; at + 8 <= size;) {
        const QByteArray id = file.mid(at, 4);
        const qint64 length = u32(d + at + 4);
        const qint64 body = at + 8;
        const qint64 available = std::min(length, size - body);
        if (id == "fmt ") {
            if (available < 16)
                return refuse(error, "format chunk too short");
            tag = u16(d + body);
            out.Channels = u16(d + body + 2);
            out.Rate = int(std::min<quint32>(u32(d + body + 4), 0x7fffffff));
            bits = u16(d + body + 14);
            if (tag == 0xFFFE) { // extensible: the real tag opens the sub-format
                if (available < 26)
                    return refuse(error, "extensible format chunk too short");
                tag = u16(d + body + 24);
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return refuse(error, "data before the format");
            out.Samples = file.mid(body, available);
            haveData = true;
            break;
        }
        at = body + length + (length & 1);
    }
    if (!haveFormat)
        return refuse(error, "no format chunk");
    if (!haveData)
        return refuse(error, "no data chunk");
    if (out.Channels < 1 || out.Channels > 8)
        return refuse(error, "unsupported channel count");
    if (out.Rate < 1 || out.Rate > 384000)
        return refuse(error, "unsupported sample rate");
    if (tag == 1 && bits == 8)
        out.Kind = TWaveSound::UInt8;
    else if (tag == 1 && bits == 16)
        out.Kind = TWaveSound::Int16;
    else if (tag == 1 && bits == 32)
        out.Kind = TWaveSound::Int32;
    else if (tag == 3 && bits == 32)
        out.Kind = TWaveSound::Float32;
    else
        return refuse(error, "unsupported sample format");
    out.Samples.truncate(qsizetype(out.Frames()) * out.BytesPerFrame());
    return true;
}
