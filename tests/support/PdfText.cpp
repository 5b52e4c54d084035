#include "PdfText.h"

#include <QProcess>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

QString pdfText(const QString &pdf)
{
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
}

int pdfImages(const QString &pdf)
{
    // Two heading lines, then one line for each image.
    return int(run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).trimmed().split('\n').size()) - 2;
}

bool inOrder(const QString &text, const QStringList &parts)
{
    qsizetype at = 0;
    for (const QString &part : parts) {
        at = text.indexOf(part, at);
        if (at < 0)
            return false;
        at += part.size();
    }
    return true;
}
