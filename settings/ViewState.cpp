#include "ViewState.h"

#include "store/DataDirectory.h"

#include <QSettings>
#include <QUrl>
#include <initializer_list>
#include <utility>

namespace ViewState {

namespace {

const QString group = QStringLiteral("Widok");

// A name may hold what the settings store takes for a group separator ("/", "\").
QString keyOf(const QString &category, const QString &subcategory)
{
    return QStringLiteral("kolumny/") + QString::fromLatin1(QUrl::toPercentEncoding(category)) + QLatin1Char('|') +
           QString::fromLatin1(QUrl::toPercentEncoding(subcategory));
}

QVariant read(const QString &key)
{
    const auto settings = DataDirectory::userSettings();
    return settings->value(group + QLatin1Char('/') + key);
}

// One opening of the settings for what a choice changes: each one reads the whole store.
void write(std::initializer_list<std::pair<QString, QVariant>> values)
{
    const auto settings = DataDirectory::userSettings();
    for (const auto &[key, value] : values) {
        if (settings->value(group + QLatin1Char('/') + key) != value)
            settings->setValue(group + QLatin1Char('/') + key, value);
    }
}

QByteArray bytes(const QVariant &value)
{
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

QString text(const QVariant &value)
{
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

} // namespace

QByteArray windowGeometry()
{
    return bytes(read(QStringLiteral("okno")));
}

void setWindowGeometry(const QByteArray &geometry)
{
    write({{QStringLiteral("okno"), geometry}});
}

Choice lastChoice()
{
    return {text(read(QStringLiteral("kategoria"))), text(read(QStringLiteral("podkategoria")))};
}

void setLastChoice(const Choice &choice)
{
    write({{QStringLiteral("kategoria"), choice.category}, {QStringLiteral("podkategoria"), choice.subcategory}});
}

bool gallery()
{
    const QVariant value = read(QStringLiteral("galeria"));
    return value.typeId() == QMetaType::Bool ? value.toBool() : value.toString() == QLatin1String("true");
}

void setGallery(bool on)
{
    write({{QStringLiteral("galeria"), on}});
}

QByteArray columns(const QString &category, const QString &subcategory)
{
    return bytes(read(keyOf(category, subcategory)));
}

void setColumns(const QString &category, const QString &subcategory, const QByteArray &state)
{
    write({{keyOf(category, subcategory), state}});
}

} // namespace ViewState
