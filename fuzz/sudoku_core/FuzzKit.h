#pragma once
// What every fuzz target shares: a private folder for the files a target
// writes (settings, data and temporary files point there too), and a reader
// that cuts one input into pieces. Window-free: the targets of the core
// library link only this.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// The private folder, made on first use; the settings store and the data
// folder are pointed into it, and an application object is made, unless the
// test fixture of a window target has its own (FuzzLeaveFoldersToFixture,
// called before).
QString FuzzFolder();
void FuzzLeaveFoldersToFixture();
// The command line an application object of a target is made with.
int &FuzzArgc();
char **FuzzArgv();
// A file in the private folder.
QString FuzzFilePath(const QString &name);
bool WriteFuzzFile(const QString &path, const QByteArray &bytes);

// Reads an input front to back: single bytes, and pieces whose length is
// given by the byte before them.
class TFuzzReader {
public:
    TFuzzReader(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool AtEnd() const { return m_pos >= m_size; }
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    // A piece of at most `max` bytes, its length from the next byte.
    QByteArray Piece(int max)
    {
        const int n = max > 0 ? Byte() % (max + 1) : 0;
        return Bytes(size_t(n));
    }
    QByteArray Bytes(size_t n)
    {
        if (n > m_size - m_pos)
            n = m_size - m_pos;
        const QByteArray out(reinterpret_cast<const char *>(m_data + m_pos), qsizetype(n));
        m_pos += n;
        return out;
    }
    QByteArray Rest() { return Bytes(m_size - m_pos); }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};
