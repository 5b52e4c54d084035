#include "TestFiles.h"

#include "store/Codepage.h"

#include <QFile>
#include <QTest>

TestDir::TestDir()
{
    if (!m_dir.isValid())
        qFatal("Cannot create a temporary directory");
}

void TestDir::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("Cannot write a test file");
}

QByteArray TestDir::read(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray crlf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

QByteArray crlfCp1250(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += Codepage::encode(line) + "\r\n";
    return bytes;
}
