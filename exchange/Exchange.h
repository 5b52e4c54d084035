#pragma once

#include "store/CatalogueFiles.h"
#include "store/ProfileBatch.h"
#include "store/ProfileFile.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// What the export file and the import share: how the export file names a catalogue file's
// section, the keys an item carries, and how the two commands write their files.
namespace Exchange {

// The export section that stands for `section` of a catalogue file: the file's name without its
// folder, "_", the section's name. The catalogue names below take an empty folder for that.
inline QString sectionOf(const QString &catalogueFileName, const QString &section)
{
    return catalogueFileName + QLatin1Char('_') + section;
}

// A list entry's or an item's key: its number in decimal.
inline QString key(int number)
{
    return QString::number(number);
}

// The catalogue's settings in the category list's "config", in the order they travel.
inline const QStringList &settingKeys()
{
    static const QStringList keys{QStringLiteral("liczba_kategorii"), QStringLiteral("sposob"),
                                  QStringLiteral("sprawdz_wersje"), QStringLiteral("przezroczystosc")};
    return keys;
}

inline const QStringList &itemFieldKeys()
{
    static const QStringList keys{
        QStringLiteral("pozycja1"), QStringLiteral("pozycja2"), QStringLiteral("pozycja3"), QStringLiteral("pozycja4"),
        QStringLiteral("pozycja5"), QStringLiteral("pozycja6"), QStringLiteral("pozycja7"), QStringLiteral("pozycja8"),
        QStringLiteral("pozycja9"), QStringLiteral("pozycja10")};
    return keys;
}

// Keys holding text typed into a multi-line box: copied in their stored one-line form, so that a
// line break survives the journey.
inline const QStringList &itemTextKeys()
{
    static const QStringList keys{QStringLiteral("opis"), QStringLiteral("komentarz")};
    return keys;
}

// How far a walk has got, from 0 to `scale`; answering false asks it to stop.
using Progress = std::function<bool(int done)>;
constexpr int scale = 1000;

// A count read as the walk reads it: the profile number rules, 0 for anything else. The walks
// bound it by what their files hold before they go by it.
inline int countOf(const QString &text)
{
    return std::max(0, parseProfileNumber(text, 0));
}

// The files a command writes: every value is kept in memory and each file written once, when
// complete; or, as the reference that the batch is checked against, each value at once.
enum class Writing { Batched, ValueByValue };

class Targets
{
public:
    explicit Targets(Writing writing, ProfileBatch::Mode mode = ProfileBatch::Mode::InPlace)
        : m_batch(writing == Writing::Batched ? std::make_unique<ProfileBatch>(mode) : nullptr)
    {
    }
    ProfileFile open(const QString &fileName) const
    {
        return m_batch ? ProfileFile(fileName, *m_batch) : ProfileFile(fileName);
    }
    void complete(const QString &fileName) const
    {
        if (m_batch)
            m_batch->commit(fileName);
    }
    void completeAll() const
    {
        if (m_batch)
            m_batch->commitAll();
    }
    // The files written under their staged names, by their own names.
    QStringList staged() const { return m_batch ? m_batch->staged() : QStringList(); }

private:
    std::unique_ptr<ProfileBatch> m_batch;
};

} // namespace Exchange
