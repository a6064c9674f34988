#include "files/UIniFile.h"

#include "settings/USonstiges.h"

#include <QFile>

namespace {
bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasControl(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    return false;
}

bool blankAtEnds(const QString &text)
{
    return !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
}

QByteArray valueOf(const QByteArray &line)
{
    const qsizetype eq = line.indexOf('=');
    return eq < 0 ? QByteArray() : line.mid(eq + 1).trimmed();
}
} // namespace

const TIniFile::TLineInfo &TIniFile::info(int i) const
{
    // Nothing is parsed until the first look-up needs it.
    if (m_info.size() != m_lines.size())
        m_info.resize(m_lines.size());
    TLineInfo &info = m_info[i];
    if (!info.parsed) {
        info = parse(m_lines[i]);
        info.parsed = true;
    }
    return info;
}

void TIniFile::appendLine(const QByteArray &line)
{
    m_lines.append(line);
    if (!m_info.isEmpty())
        m_info.append(TLineInfo());
}

void TIniFile::insertLine(int at, const QByteArray &line)
{
    m_lines.insert(at, line);
    if (!m_info.isEmpty())
        m_info.insert(at, TLineInfo());
}

void TIniFile::clearLines()
{
    m_lines.clear();
    m_info.clear();
}

bool TIniFile::Load(QString *error)
{
    clearLines();
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        return false;
    }
    SetBytes(bytes);
    return true;
}

void TIniFile::SetBytes(const QByteArray &bytes)
{
    clearLines();
    qsizetype end = bytes.indexOf('\0');
    if (end < 0)
        end = bytes.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < end) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            appendLine(bytes.mid(start, i - start));
            if (c == '\r' && i + 1 < end && bytes[i + 1] == '\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < end)
        appendLine(bytes.mid(start, end - start));
}

QByteArray TIniFile::Bytes() const
{
    QByteArray out;
    qsizetype n = 0;
    for (const QByteArray &l : m_lines)
        n += l.size() + 2;
    out.reserve(n);
    for (const QByteArray &l : m_lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

TIniFile::TLineInfo TIniFile::parse(const QByteArray &line)
{
    TLineInfo info;
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';'))
        return info;
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0) {
            info.kind = TLineInfo::Section;
            info.name = DecodeCp1252(t.mid(1, close - 1).trimmed());
        }
        return info;
    }
    const qsizetype eq = t.indexOf('=');
    if (eq > 0) {
        info.kind = TLineInfo::Key;
        info.name = DecodeCp1252(t.left(eq).trimmed());
    }
    return info;
}

int TIniFile::findSection(const QString &section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        const TLineInfo &line = info(i);
        if (line.kind == TLineInfo::Section && sameName(line.name, section))
            return i;
    }
    return -1;
}

int TIniFile::sectionEnd(int header) const
{
    int i = header + 1;
    while (i < m_lines.size() && info(i).kind != TLineInfo::Section)
        ++i;
    return i;
}

int TIniFile::findKey(int header, const QString &key) const
{
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const TLineInfo &line = info(i);
        if (line.kind == TLineInfo::Key && sameName(line.name, key))
            return i;
    }
    return -1;
}

bool TIniFile::SectionExists(const QString &section) const
{
    return findSection(section) >= 0;
}

QStringList TIniFile::ReadSections() const
{
    QStringList out;
    for (int i = 0; i < m_lines.size(); ++i) {
        const TLineInfo &line = info(i);
        if (line.kind == TLineInfo::Section)
            out << line.name;
    }
    return out;
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    QStringList out;
    const int h = findSection(section);
    if (h < 0)
        return out;
    const int end = sectionEnd(h);
    for (int i = h + 1; i < end; ++i) {
        const TLineInfo &line = info(i);
        if (line.kind == TLineInfo::Key)
            out << line.name;
    }
    return out;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    const int h = findSection(section);
    return h >= 0 && findKey(h, key) >= 0;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const int h = findSection(section);
    if (h < 0)
        return def;
    const int k = findKey(h, key);
    return k < 0 ? def : DecodeCp1252(valueOf(m_lines[k]));
}

bool TIniFile::IsWritableSection(const QString &section)
{
    return !section.isEmpty() && !hasControl(section) && !blankAtEnds(section) && !section.contains(QLatin1Char(']')) &&
           DecodeCp1252(EncodeCp1252(section)) == section;
}

bool TIniFile::IsWritableKey(const QString &key)
{
    return !key.isEmpty() && !hasControl(key) && !blankAtEnds(key) && !key.contains(QLatin1Char('=')) &&
           !key.startsWith(QLatin1Char('[')) && !key.startsWith(QLatin1Char(';')) &&
           DecodeCp1252(EncodeCp1252(key)) == key;
}

bool TIniFile::IsWritableValue(const QString &value)
{
    return !hasControl(value) && !blankAtEnds(value) && DecodeCp1252(EncodeCp1252(value)) == value;
}

bool TIniFile::AddSection(const QString &section)
{
    if (!IsWritableSection(section))
        return false;
    if (findSection(section) < 0)
        appendLine('[' + EncodeCp1252(section) + ']');
    return true;
}

bool TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (!IsWritableSection(section) || !IsWritableKey(key) || !IsWritableValue(value))
        return false;
    const QByteArray v = EncodeCp1252(value);
    int h = findSection(section);
    if (h < 0) {
        appendLine('[' + EncodeCp1252(section) + ']');
        appendLine(EncodeCp1252(key) + '=' + v);
        return true;
    }
    const int k = findKey(h, key);
    if (k >= 0) {
        // Keep the key as the file spells it; only the value changes, so
        // the line's parsed form stays as it is.
        QByteArray &line = m_lines[k];
        line = line.left(line.indexOf('=') + 1) + v;
        return true;
    }
    insertLine(sectionEnd(h), EncodeCp1252(key) + '=' + v);
    return true;
}

bool TIniFile::DeleteKey(const QString &section, const QString &key)
{
    const int h = findSection(section);
    if (h < 0)
        return false;
    bool any = false;
    for (int k = findKey(h, key); k >= 0; k = findKey(h, key)) {
        m_lines.removeAt(k);
        if (!m_info.isEmpty())
            m_info.removeAt(k);
        any = true;
    }
    return any;
}

bool TIniFile::EraseSection(const QString &section)
{
    bool any = false;
    for (int h = findSection(section); h >= 0; h = findSection(section)) {
        const int end = sectionEnd(h);
        m_lines.erase(m_lines.begin() + h, m_lines.begin() + end);
        if (!m_info.isEmpty())
            m_info.erase(m_info.begin() + h, m_info.begin() + end);
        any = true;
    }
    return any;
}

bool TIniFile::Save(QString *error) const
{
    return SaveFileWhole(m_path, Bytes(), error);
}
