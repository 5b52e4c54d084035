#include "Export.h"

#include "store/ReadAhead.h"

using namespace Exchange;

namespace {

class Walk
{
public:
    Walk(const QString &dir, const QString &exportFile, Writing writing, QStringList *damaged)
        : m_dir(dir), m_targets(writing), m_out(m_targets.open(exportFile)), m_listsFirst(writing == Writing::Batched),
          m_damaged(damaged)
    {
    }

    bool run(const Progress &progress)
    {
        const ProfileFile categories(CatalogueFiles::categoryList(m_dir));
        const QString config = sectionOf(CatalogueFiles::categoryList({}), QStringLiteral("config"));
        for (const QString &name : settingKeys())
            pass(categories, QStringLiteral("config"), name, QStringLiteral("0"), config);
        const int count = bounded(categories.ReadText(QStringLiteral("config"), QStringLiteral("liczba_kategorii"), {}),
                                  categories, categories.NumberedKeys(QStringLiteral("kategorie")), config,
                                  QStringLiteral("liczba_kategorii"), QStringLiteral("kategorii"));
        const QString list = sectionOf(CatalogueFiles::categoryList({}), QStringLiteral("kategorie"));
        const bool finished = eachOf(categories, QStringLiteral("kategorie"), count, list, [&](int i, const QString &name) {
            return category(name, [&](double done) { return !progress || progress(int(scale * (i + done) / count)); });
        });
        if (finished)
            m_targets.completeAll();
        return finished;
    }

private:
    // The count the walk goes by: the one the file gives, but no more than the file holds and no
    // less than 0. Where they differ, the export file gets the number the walk wrote, so that its
    // count always describes what follows it.
    int bounded(const QString &text, const ProfileFile &from, int present, const QString &toSection,
                const QString &counterKey, const QString &what)
    {
        const int claimed = parseProfileNumber(text, 0);
        const int count = std::clamp(claimed, 0, present);
        if (count != claimed) {
            m_out.WriteText(toSection, counterKey, QString::number(count));
            if (m_damaged)
                m_damaged->append(QStringLiteral("plik %1 podaje liczbę %2 %3, a zawiera %4; wyeksportowano %4")
                                      .arg(from.fileName(), what, QString::number(claimed), QString::number(count)));
        }
        return count;
    }

    // Copies the names of a list and walks each of them.
    //
    // A batch holds the whole export in one document, where a key added to a section high up moves
    // every line below it. So a batched walk copies a list whole when it reaches it. The file is the
    // same: the list's section keeps its place and its keys their order, and no other value is
    // written into it. The value-by-value run keeps the plain order, and so checks that claim.
    template <typename Visit>
    bool eachOf(const ProfileFile &from, const QString &section, int count, const QString &toSection, Visit visit)
    {
        QStringList names;
        if (m_listsFirst) {
            for (int i = 0; i < count; ++i)
                names.append(copy(from, section, key(i), {}, toSection));
        }
        for (int i = 0; i < count; ++i) {
            if (!visit(i, m_listsFirst ? names[i] : copy(from, section, key(i), {}, toSection)))
                return false;
        }
        return true;
    }

    // Copies one value under the same key.
    void pass(const ProfileFile &from, const QString &section, const QString &name, const QString &missing,
              const QString &toSection)
    {
        from.CopyText(section, name, missing, m_out, toSection);
    }

    // Copies one value under the same key and answers it.
    QString copy(const ProfileFile &from, const QString &section, const QString &name, const QString &missing,
                 const QString &toSection)
    {
        const QString value = from.ReadText(section, name, missing);
        m_out.WriteText(toSection, name, value);
        return value;
    }

    bool category(const QString &name, const std::function<bool(double)> &progress)
    {
        const QString fileName = CatalogueFiles::subcategoryList({}, name);
        const ProfileFile subcategories(CatalogueFiles::subcategoryList(m_dir, name));
        const QString config = sectionOf(fileName, QStringLiteral("config"));
        const int count = bounded(copy(subcategories, QStringLiteral("config"), QStringLiteral("liczba_podkategorii"),
                                       QStringLiteral("0"), config),
                                  subcategories, subcategories.NumberedKeys(QStringLiteral("podkategorie")), config,
                                  QStringLiteral("liczba_podkategorii"), QStringLiteral("podkategorii"));
        const QString list = sectionOf(fileName, QStringLiteral("podkategorie"));
        return eachOf(subcategories, QStringLiteral("podkategorie"), count, list,
                      [&](int k, const QString &subcategoryName) {
                          if (!progress(double(k) / count))
                              return false;
                          subcategory(name, subcategoryName);
                          return true;
                      }) &&
               progress(1);
    }

    void subcategory(const QString &category, const QString &subcategory)
    {
        const QString fileName = CatalogueFiles::itemFile({}, category, subcategory);
        const ProfileFile items(CatalogueFiles::itemFile(m_dir, category, subcategory));
        const QString config = sectionOf(fileName, QStringLiteral("config"));
        const int count =
            bounded(copy(items, QStringLiteral("config"), QStringLiteral("liczba_pozycji"), {}, config), items,
                    items.NumberedSections(), config, QStringLiteral("liczba_pozycji"), QStringLiteral("pozycji"));
        QStringList photoLists;
        for (int n = 0; n < count; ++n)
            photoLists.append(CatalogueFiles::photoList(m_dir, category, subcategory, n));
        const ReadAhead ahead(photoLists);
        for (int j = 1; j <= 10; ++j)
            pass(items, QStringLiteral("pozycje"), key(j), {}, sectionOf(fileName, QStringLiteral("pozycje")));
        for (int n = 0; n < count; ++n) {
            const QString item = key(n);
            const QString section = sectionOf(fileName, item);
            for (const QString &name : itemFieldKeys())
                pass(items, item, name, {}, section);
            for (const QString &name : itemTextKeys())
                m_out.WriteMultiline(section, name, items.ReadMultiline(item, name));
            photos(photoLists[n].sliced(m_dir.size()), photoLists[n]); // the name without its folder
        }
    }

    void photos(const QString &fileName, const QString &path)
    {
        const ProfileFile list(path);
        const QString config = sectionOf(fileName, QStringLiteral("config"));
        const int count =
            bounded(copy(list, QStringLiteral("config"), QStringLiteral("liczba_zdjec"), QStringLiteral("0"), config),
                    list, list.NumberedKeys(QStringLiteral("zdjecia")), config, QStringLiteral("liczba_zdjec"),
                    QStringLiteral("zdjęć"));
        const QString section = sectionOf(fileName, QStringLiteral("zdjecia"));
        for (int p = 0; p < count; ++p)
            pass(list, QStringLiteral("zdjecia"), key(p), {}, section);
    }

    QString m_dir;
    Targets m_targets;
    ProfileFile m_out;
    bool m_listsFirst;
    QStringList *m_damaged;
};

} // namespace

namespace Export {

bool run(const QString &dir, const QString &exportFile, const Progress &progress, Writing writing, QStringList *damaged)
{
    return Walk(dir, exportFile, writing, damaged).run(progress);
}

} // namespace Export
