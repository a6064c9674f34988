#include "files/UCompetitionFile.h"

#include "codes/UQuadrivo_Codes.h"
#include "settings/USonstiges.h"

#include <QCryptographicHash>
#include <algorithm>

namespace {
QString md5Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QByteArray checksumTextOf(const QList<QByteArray> &lines)
{
    QByteArray text;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        text += lines[i];
        text += "\r\n";
    }
    text += kChecksumSalt;
    text += "\r\n";
    return text;
}
} // namespace

QByteArray ChecksumText(const QByteArray &fileBytes)
{
    // Split as the document does, so a file with LF or CR line ends hashes
    // like the same file with CR LF.
    TIniFile doc;
    doc.SetBytes(fileBytes);
    return checksumTextOf(doc.Lines());
}

QString ChecksumOfBytes(const QByteArray &fileBytes)
{
    return md5Hex(ChecksumText(fileBytes));
}

QString ChecksumOf(const TIniFile &ini)
{
    return md5Hex(checksumTextOf(ini.Lines()));
}

bool WriteChecksum(TIniFile &ini, const QString &section)
{
    return ini.WriteString(section, QString::fromLatin1(kChecksumKey), ChecksumOf(ini));
}

bool VerifyChecksum(const TIniFile &ini, const QString &section)
{
    const QString stored = ini.ReadString(section, QString::fromLatin1(kChecksumKey), QString());
    if (stored.isEmpty())
        return false;
    return stored == ChecksumOf(ini);
}

QString PasswordDigest(const QString &password)
{
    return md5Hex(EncodeCp1252(password));
}

bool PasswordMatches(const TIniFile &ini, const QString &typed, const QString &section)
{
    const QString stored = ini.ReadString(section, QString::fromLatin1(kPasswordKey), QStringLiteral("0"));
    return stored != QLatin1String("0") && stored == PasswordDigest(typed);
}

QString CompetitionExtension(int playMode)
{
    if (playMode == 10)
        return QStringLiteral(".challenge");
    if (playMode == 20)
        return QStringLiteral(".turnier");
    return QString();
}

bool IsSafeCompetitionName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.contains(QLatin1String("..")))
        return false;
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

QString CompetitionFilePath(const QString &dir, const QString &name, int playMode)
{
    const QString ext = CompetitionExtension(playMode);
    if (ext.isEmpty() || !IsSafeCompetitionName(name))
        return QString();
    return dir + QLatin1Char('/') + name + ext;
}

TIniFile NewCompetitionDocument(const QString &path, const QString &password)
{
    TIniFile ini(path);
    const QString spiele = QString::fromLatin1(kChallengeSection);
    ini.WriteString(spiele, QString::fromLatin1(kChecksumKey), QStringLiteral("0"));
    ini.WriteString(spiele, QString::fromLatin1(kPasswordKey), PasswordDigest(password));
    ini.AddSection(QString::fromLatin1(kStageSection));
    WriteChecksum(ini, spiele);
    return ini;
}

QString StageNumberText(int n)
{
    return QString::number(n).rightJustified(4, QLatin1Char('0'));
}

int PlayerStageNumber(const TIniFile &ini, const QString &nickname)
{
    const QString v = ini.ReadString(QString::fromLatin1(kStageSection), nickname, QStringLiteral("0"));
    bool ok = false;
    const int n = v.toInt(&ok);
    return allDigits(v) && ok ? n : -1;
}

QString NextStageNumber(const TIniFile &ini, const QString &nickname)
{
    return StageNumberText(std::max(0, PlayerStageNumber(ini, nickname)) + 1);
}

QStringList StageKeys(const TIniFile &ini)
{
    QStringList keys = ini.ReadSection(QString::fromLatin1(kChallengeSection));
    return keys.size() > 2 ? keys.mid(2) : QStringList();
}

bool IsValidStageCode(const QString &code)
{
    if (code.size() != 86)
        return false;
    for (int i = 0; i < 81; ++i)
        if (!IsPuzzleLetter(code[i]))
            return false;
    if (!QStringLiteral("SIZB").contains(code[81]) || !QStringLiteral("SD").contains(code[82]))
        return false;
    return allDigits(code.mid(83, 3));
}

bool IsValidStageNumber(const QString &text)
{
    return text.size() >= 4 && text.size() <= 9 && allDigits(text);
}

bool StagesAreValid(const TIniFile &ini)
{
    const QString spiele = QString::fromLatin1(kChallengeSection);
    for (const QString &key : StageKeys(ini))
        if (!IsValidStageNumber(key) || !IsValidStageCode(ini.ReadString(spiele, key, QString())))
            return false;
    const QString etappe = QString::fromLatin1(kStageSection);
    for (const QString &nick : ini.ReadSection(etappe))
        if (PlayerStageNumber(ini, nick) < 0)
            return false;
    return true;
}

QString ResultText(int64_t points, int64_t tenths, int64_t errors)
{
    return QString::number(points) + QLatin1Char('*') + QString::number(tenths) + QLatin1Char('*') +
           QString::number(errors);
}
