#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A data directory of its own for each test, with the helpers to lay files into it and read them.
class TestDir
{
public:
    TestDir();

    // The directory's path with its closing separator, the form the program stores.
    QString path() const { return m_dir.path() + QLatin1Char('/'); }
    QString file(const QString &name) const { return path() + name; }

    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;

private:
    QTemporaryDir m_dir;
};

// The lines joined with CR LF, each one ended by it, as the program writes files.
QByteArray crlf(const QStringList &lines);
// The same lines encoded in Windows-1250.
QByteArray crlfCp1250(const QStringList &lines);
