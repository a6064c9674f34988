// The print preview's page store: every page a serialized picture, in memory
// or in a temporary file.
#include "print/Preview.h"

#include <QBuffer>
#include <QDir>
#include <algorithm>

// ---- page store ---------------------------------------------------------------

namespace {
// The page file, unbuffered: a write that finds the disk full fails at once,
// and a read always sees what the file holds now, never an old buffer.
class TPageFile : public QTemporaryFile {
public:
    using QTemporaryFile::QTemporaryFile;
    bool OpenUnbuffered() { return open(QIODevice::ReadWrite | QIODevice::Unbuffered); }
};

bool writeAt(QIODevice *s, qint64 at, const char *data, qint64 length)
{
    if (!s || !s->seek(at))
        return false;
    return length == 0 || s->write(data, length) == length;
}

QByteArray readAt(QIODevice *s, qint64 at, qint64 length, bool *ok)
{
    QByteArray bytes;
    *ok = s && length >= 0 && s->seek(at);
    if (*ok && length > 0) {
        bytes = s->read(length);
        *ok = bytes.size() == length;
    }
    return bytes;
}

QString unreadable(int index)
{
    return QStringLiteral("Seite %1 kann nicht gelesen werden.").arg(index + 1);
}
QString unwritable(int index)
{
    return QStringLiteral("Seite %1 kann nicht gespeichert werden.").arg(index + 1);
}
} // namespace

TMetafileList::TMetafileList(QObject *parent) : QObject(parent) {}

TMetafileList::~TMetafileList()
{
    m_stream.reset();
    m_tempFile = nullptr;
}

std::unique_ptr<QIODevice> TMetafileList::makeStream(bool tempFile)
{
    if (tempFile) {
        auto f = std::make_unique<TPageFile>(QDir::tempPath() + QStringLiteral("/PPXXXXXX"));
        if (!f->OpenUnbuffered())
            return nullptr;
        return f;
    }
    auto b = std::make_unique<QBuffer>();
    b->open(QIODevice::ReadWrite);
    return b;
}

QIODevice *TMetafileList::stream()
{
    if (!m_stream) {
        m_stream = makeStream(m_useTempFile);
        m_tempFile = qobject_cast<QTemporaryFile *>(m_stream.get());
    }
    return m_stream.get();
}

qint64 TMetafileList::pageLength(int index) const
{
    const size_t i = size_t(index);
    const qint64 end = i + 1 < m_offsets.size() ? m_offsets[i + 1] : m_end;
    return end - m_offsets[i];
}

void TMetafileList::fail(int index, const QString &text)
{
    m_lastError = text;
    emit Failed(index, text);
}

bool TMetafileList::WriteFailed(int index) const
{
    return std::find(m_unwritten.begin(), m_unwritten.end(), index) != m_unwritten.end();
}

int TMetafileList::Add(const QPicture &page)
{
    // The page keeps its place even when it cannot be stored: the pages after
    // it stay where they belong, and reading it back fails instead of showing
    // another page or a blank one.
    const int index = Count();
    const qint64 at = m_end;
    m_offsets.push_back(at);
    m_end = at + page.size();
    if (!writeAt(stream(), at, page.data(), page.size())) {
        m_unwritten.push_back(index);
        fail(index, unwritable(index));
    }
    emit Changed();
    return index;
}

const QPicture *TMetafileList::GetMetafile(int index)
{
    if (index < 0 || index >= Count())
        return nullptr;
    if (index == m_loadedIndex)
        return &m_loaded;
    m_loaded = QPicture();
    m_loadedIndex = -1;
    bool ok = !WriteFailed(index);
    const QByteArray bytes =
        ok ? readAt(m_stream.get(), m_offsets[size_t(index)], pageLength(index), &ok) : QByteArray();
    if (ok && !bytes.isEmpty()) {
        // The picture's own header and checksum tell a damaged page.
        QBuffer in;
        in.setData(bytes);
        in.open(QIODevice::ReadOnly);
        ok = m_loaded.load(&in);
    }
    if (!ok) {
        m_loaded = QPicture();
        fail(index, unreadable(index));
        return nullptr;
    }
    m_loadedIndex = index;
    return &m_loaded;
}

bool TMetafileList::ReplaceMetafile(int index, const QPicture &page)
{
    if (index < 0 || index >= Count())
        return false;
    const qint64 at = m_offsets[size_t(index)];
    const qint64 oldLen = pageLength(index);
    const qint64 newLen = page.size();
    QByteArray tail;
    if (newLen != oldLen && index + 1 < Count()) {
        bool ok = false;
        tail = readAt(m_stream.get(), at + oldLen, m_end - at - oldLen, &ok);
        if (!ok) {
            fail(index + 1, unreadable(index + 1));
            return false; // nothing written: the pages stay as they were
        }
    }
    bool ok = writeAt(stream(), at, page.data(), newLen);
    if (newLen != oldLen) {
        ok = writeAt(m_stream.get(), at + newLen, tail.constData(), tail.size()) && ok;
        for (size_t i = size_t(index) + 1; i < m_offsets.size(); ++i)
            m_offsets[i] += newLen - oldLen;
        m_end += newLen - oldLen;
        if (newLen < oldLen) {
            if (auto *b = qobject_cast<QBuffer *>(m_stream.get()))
                b->buffer().resize(m_end);
            else if (m_tempFile)
                ok = m_tempFile->resize(m_end) && ok;
        }
    }
    m_unwritten.erase(std::remove(m_unwritten.begin(), m_unwritten.end(), index), m_unwritten.end());
    if (ok) {
        m_loaded = page;
        m_loadedIndex = index;
    } else {
        m_loaded = QPicture();
        m_loadedIndex = -1;
        m_unwritten.push_back(index);
        fail(index, unwritable(index));
    }
    emit CurrentChanged(index);
    return ok;
}

void TMetafileList::Clear()
{
    m_loaded = QPicture();
    m_loadedIndex = -1;
    m_offsets.clear();
    m_unwritten.clear();
    m_end = 0;
    m_stream.reset(); // a temporary file goes with its stream
    m_tempFile = nullptr;
    emit Changed();
}

bool TMetafileList::SetUseTempFile(bool on)
{
    if (on == m_useTempFile)
        return true;
    if (!m_stream) {
        m_useTempFile = on;
        return true;
    }
    // The pages move only when every byte got across; otherwise they stay
    // where they are, and so does the setting.
    std::unique_ptr<QIODevice> fresh = makeStream(on);
    bool ok = false;
    const QByteArray all = readAt(m_stream.get(), 0, std::min(m_end, m_stream->size()), &ok);
    ok = ok && fresh && writeAt(fresh.get(), 0, all.constData(), all.size());
    if (!ok) {
        fail(-1, on ? QStringLiteral("Die Seiten können nicht in eine temporäre Datei geschrieben werden.")
                    : QStringLiteral("Die Seiten können nicht aus der temporären Datei gelesen werden."));
        return false;
    }
    m_useTempFile = on;
    m_stream = std::move(fresh); // the old temporary file is deleted here
    m_tempFile = qobject_cast<QTemporaryFile *>(m_stream.get());
    return true;
}
