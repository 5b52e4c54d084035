#include "DataDirectory.h"

#include "Error.h"

#include <QDir>
#include <QSettings>
#include <memory>

namespace DataDirectory {

namespace {

const QString valueName = QStringLiteral("path");

} // namespace

std::unique_ptr<QSettings> userSettings()
{
#ifdef Q_OS_WIN
    // Spelled out: QSettings' organisation-only form would add "OrganizationDefaults" to the key.
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\Gromadnik"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Gromadnik"));
#endif
}

namespace {

bool isText(const QVariant &value)
{
    return !value.isValid() || value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray;
}

} // namespace

QString path()
{
    const auto settings = userSettings();
    const QVariant value = settings->value(valueName);
    if (!isText(value))
        throw AppError(problem());
    return value.toString();
}

QString problem()
{
    if (isText(userSettings()->value(valueName)))
        return {};
    return QStringLiteral("Invalid data type for '%1'").arg(valueName);
}

void setPath(const QString &path)
{
    const auto settings = userSettings();
    settings->setValue(valueName, path);
    settings->sync();
    if (settings->status() != QSettings::NoError || !settings->isWritable())
        throw AppError(QStringLiteral("Failed to set data for '%1'").arg(valueName));
}

QString defaultPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Program Files\\Gromadnik\\");
#else
    return QDir::homePath() + QStringLiteral("/Gromadnik/");
#endif
}

} // namespace DataDirectory
