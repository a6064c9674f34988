#pragma once
// A tiny tmpfs for tests of saves on a full disk. Needs root (mount); where it
// cannot be made, Ready() is false and the test skips.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <sys/mount.h>
#include <unistd.h>

class TSmallDisk {
public:
    explicit TSmallDisk(int kilobytes = 64)
    {
        if (geteuid() != 0 || !m_base.isValid())
            return;
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0700";
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_base.path()).constData(), "tmpfs", 0,
                            options.constData()) == 0;
    }
    ~TSmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_base.path()).constData(), MNT_DETACH);
    }
    TSmallDisk(const TSmallDisk &) = delete;
    TSmallDisk &operator=(const TSmallDisk &) = delete;

    bool Ready() const { return m_mounted; }
    QString Path() const { return m_base.path(); }
    QString FilePath(const QString &name) const { return QDir(m_base.path()).filePath(name); }

    // Fills what is left with one file, so the next write runs out of room.
    void Fill()
    {
        QFile f(FilePath(QStringLiteral(".fill")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(512, 'x');
        while (f.write(block) == block.size()) {
        }
        // Leftover room smaller than a block.
        while (f.write("x", 1) == 1) {
        }
    }
    // The names in the folder, apart from the filler.
    QStringList Names() const
    {
        QStringList names = QDir(m_base.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral(".fill"));
        return names;
    }

private:
    QTemporaryDir m_base;
    bool m_mounted = false;
};
