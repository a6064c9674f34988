#pragma once
// The INI document behind every competition file (challenge, tournament and
// ghost files). QSettings reorders lines and escapes values, which would break
// the checksum over the file's text, so this class keeps the file as its lines,
// raw Windows-1252 bytes in file order, and changes only the line it must:
// - a value is rewritten in place on its own line,
// - a new key goes after the last line of its section,
// - a new section goes at the end of the file,
// - every other line stays byte for byte as it was.
// Section and key look-ups ignore letter case. Save() writes the whole file,
// CR LF after every line, through QSaveFile (an atomic replace) and reports
// every failed write.
//
// How a caller uses it together with the checksum (UCompetitionFile.h):
//   create:  TIniFile ini(path);                      // nothing on disk yet
//            ini.WriteString("Spiele", "chksum", "0");
//            ini.WriteString("Spiele", "Passwort", PasswordDigest(typed));
//            ini.AddSection("Etappe");
//            WriteChecksum(ini, "Spiele"); ini.Save();
//   verify:  TIniFile ini(path); if (!ini.Load() || !VerifyChecksum(ini, "Spiele")) refuse;
//   write:   load and verify as above, then ini.WriteString(...) (false = the
//            key or value cannot be stored unchanged), WriteChecksum(ini, "Spiele"),
//            and if (!ini.Save(&error)) report the error.
// Ghost files do the same with the section "Main" in place of "Spiele".

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TIniFile {
public:
    TIniFile() = default;
    // Names the file; nothing is read until Load().
    explicit TIniFile(const QString &path) : m_path(path) {}

    const QString &FileName() const { return m_path; }
    // Reads the file named by FileName(). False (and an empty document) when it
    // is missing or cannot be read.
    bool Load(QString *error = nullptr);
    // Takes the document from bytes as a file would hold them: lines split at
    // CR LF, CR or LF, a final line end makes no extra line, a zero byte ends the text.
    void SetBytes(const QByteArray &bytes);
    // The file's text as Save() writes it: every line followed by CR LF.
    QByteArray Bytes() const;
    const QList<QByteArray> &Lines() const { return m_lines; }

    bool SectionExists(const QString &section) const;
    // The sections' names in file order.
    QStringList ReadSections() const;
    // The keys of a section in file order (empty when the section is missing).
    QStringList ReadSection(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    // The first value of the key in the section, or def when there is none.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;

    // Rewrites the key's value in place, or adds the key after the section's
    // last line, or adds the section at the end. False, and nothing changed,
    // when the section name, key or value cannot be read back unchanged.
    bool WriteString(const QString &section, const QString &key, const QString &value);
    // Adds an empty section at the end unless it exists; false for a bad name.
    bool AddSection(const QString &section);
    // Removes the key's line(s); false when there was none.
    bool DeleteKey(const QString &section, const QString &key);
    // Removes the section's header and all its lines; false when there was none.
    bool EraseSection(const QString &section);

    // Writes the whole document to FileName() through QSaveFile. False, with
    // the reason, when any write, the flush or the commit failed; the file on
    // disk is then left as it was.
    bool Save(QString *error = nullptr) const;

    // True for a key that can be written and read back unchanged: not empty,
    // no "=", no line break or control character, not starting with "[" or ";",
    // no blank at either end.
    static bool IsWritableKey(const QString &key);
    // The same for a section name (no "]" either).
    static bool IsWritableSection(const QString &section);
    // A value may hold anything but line breaks, control characters and
    // blanks at either end (a reader trims those).
    static bool IsWritableValue(const QString &value);

private:
    struct TLineInfo {
        enum Kind { Other, Section, Key } kind = Other;
        QString name; // section name or key
        bool parsed = false;
    };
    static TLineInfo parse(const QByteArray &line);
    // Index of the section's header line, or -1.
    int findSection(const QString &section) const;
    // One past the section's last line (the next header or the end).
    int sectionEnd(int header) const;
    int findKey(int header, const QString &key) const;
    // Line i's parsed form, parsed on first use and kept until the line goes.
    const TLineInfo &info(int i) const;
    // Every change of the lines goes through these. m_info is either empty
    // (nothing looked up yet) or beside m_lines, line for line.
    void appendLine(const QByteArray &line);
    void insertLine(int at, const QByteArray &line);
    void clearLines();

    QString m_path;
    QList<QByteArray> m_lines;
    mutable QList<TLineInfo> m_info;
};
