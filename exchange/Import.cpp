#include "Import.h"

#include "store/Error.h"
#include "store/Journal.h"

#include <QFileInfo>

using namespace Exchange;

namespace {

const QString config = QStringLiteral("config");

class Walk
{
public:
    // A check walks the category and subcategory lists only, into copies that are never written,
    // so that a bad name is found before the first file changes.
    enum class Pass { Check, Write };

    // The write pass stages every file, and a journal moves them into place once all are written:
    // a crash leaves the catalogue as it was before the import or as it is after it.
    Walk(const QString &dir, const QString &sourceFile, Pass pass, Writing writing)
        : m_dir(dir), m_source(sourceFile), m_sourceFile(sourceFile), m_pass(pass),
          m_targets(writing, pass == Pass::Write ? ProfileBatch::Mode::Staged : ProfileBatch::Mode::InPlace)
    {
    }

    void run(const Progress &progress)
    {
        const QString categoryList = CatalogueFiles::categoryList(m_dir);
        ProfileFile categories = m_targets.open(categoryList);
        const QString configSection = sectionOf(CatalogueFiles::categoryList({}), config);
        const int count = countOf(m_source.ReadText(configSection, QStringLiteral("liczba_kategorii"), {}));
        for (const QString &name : settingKeys())
            pass(configSection, name, {}, categories, config);
        const QString list = sectionOf(CatalogueFiles::categoryList({}), QStringLiteral("kategorie"));
        for (int i = 0; i < count; ++i) {
            const QString name = copy(list, key(i), {}, categories, QStringLiteral("kategorie"));
            checkName(name, QStringLiteral("kategorii"));
            category(name, [&](double done) {
                if (progress)
                    progress(int(scale * (i + done) / count));
            });
        }
        if (m_pass == Pass::Write) {
            m_targets.completeAll();
            if (const QStringList staged = m_targets.staged(); !staged.isEmpty()) {
                Journal::Command command(m_dir, QStringLiteral("import danych z pliku %1").arg(m_sourceFile));
                command.moveStaged(staged);
                command.run();
            }
        }
    }

private:
    // Copies one value of the source to the same key of a catalogue file and answers it.
    QString copy(const QString &fromSection, const QString &name, const QString &missing, ProfileFile &to,
                 const QString &toSection)
    {
        const QString value = m_source.ReadText(fromSection, name, missing);
        to.WriteText(toSection, name, value);
        return value;
    }

    void pass(const QString &fromSection, const QString &name, const QString &missing, ProfileFile &to,
              const QString &toSection)
    {
        m_source.CopyText(fromSection, name, missing, to, toSection);
    }

    // The count as written to `file`, read back from there.
    int copyCount(const QString &fromSection, const QString &name, const QString &missing, ProfileFile &to)
    {
        pass(fromSection, name, missing, to, config);
        return countOf(to.ReadText(config, name, {}));
    }

    void checkName(const QString &name, const QString &what) const
    {
        if (m_pass != Pass::Check)
            return;
        const QString problem = CatalogueFiles::nameProblem(name);
        if (!problem.isEmpty())
            throw AppError(QStringLiteral("Plik %1 zawiera nazwę %2 \"%3\", której nie można użyć: %4\n"
                                          "Niczego nie zaimportowano.")
                               .arg(m_sourceFile, what, name, problem));
    }

    void complete(const QString &fileName)
    {
        if (m_pass == Pass::Write)
            m_targets.complete(fileName);
    }

    void category(const QString &name, const std::function<void(double)> &progress)
    {
        const QString fileName = CatalogueFiles::subcategoryList({}, name);
        const QString path = CatalogueFiles::subcategoryList(m_dir, name);
        ProfileFile subcategories = m_targets.open(path);
        const int count =
            copyCount(sectionOf(fileName, config), QStringLiteral("liczba_podkategorii"), QStringLiteral("0"), subcategories);
        const QString list = sectionOf(fileName, QStringLiteral("podkategorie"));
        for (int k = 0; k < count; ++k) {
            progress(double(k) / count);
            const QString sub = copy(list, key(k), {}, subcategories, QStringLiteral("podkategorie"));
            checkName(sub, QStringLiteral("podkategorii"));
            if (m_pass == Pass::Write)
                subcategory(name, sub);
        }
        complete(path);
    }

    void subcategory(const QString &category, const QString &subcategory)
    {
        const QString fileName = CatalogueFiles::itemFile({}, category, subcategory);
        const QString path = CatalogueFiles::itemFile(m_dir, category, subcategory);
        ProfileFile items = m_targets.open(path);
        const int count =
            copyCount(sectionOf(fileName, config), QStringLiteral("liczba_pozycji"), QStringLiteral("0"), items);
        for (int j = 1; j <= 10; ++j)
            pass(sectionOf(fileName, QStringLiteral("pozycje")), key(j), {}, items, QStringLiteral("pozycje"));
        for (int n = 0; n < count; ++n) {
            const QString item = key(n);
            const QString section = sectionOf(fileName, item);
            for (const QString &name : itemFieldKeys())
                pass(section, name, {}, items, item);
            for (const QString &name : itemTextKeys())
                items.WriteMultiline(item, name, m_source.ReadMultiline(section, name));
            const QString photoList = CatalogueFiles::photoList(m_dir, category, subcategory, n);
            photos(photoList.sliced(m_dir.size()), photoList); // its name without the folder, its path
        }
        complete(path);
    }

    void photos(const QString &fileName, const QString &path)
    {
        ProfileFile list = m_targets.open(path);
        const int count = copyCount(sectionOf(fileName, config), QStringLiteral("liczba_zdjec"), {}, list);
        const QString section = sectionOf(fileName, QStringLiteral("zdjecia"));
        for (int p = 0; p < count; ++p)
            pass(section, key(p), QStringLiteral("0"), list, QStringLiteral("zdjecia"));
        complete(path);
    }

    QString m_dir;
    ProfileFile m_source;
    QString m_sourceFile;
    Pass m_pass;
    Targets m_targets;
};

// An export file starts with the catalogue's settings, the number of categories among them.
void checkSource(const QString &sourceFile)
{
    const QFileInfo info(sourceFile);
    if (!info.isFile() || !info.isReadable())
        throw AppError(QStringLiteral("Nie można odczytać pliku %1.\nNiczego nie zaimportowano.").arg(sourceFile));
    const ProfileFile source(sourceFile);
    const QString section = sectionOf(CatalogueFiles::categoryList({}), config);
    if (!parseNumber(source.ReadText(section, QStringLiteral("liczba_kategorii"), {})))
        throw AppError(QStringLiteral("Plik %1 nie zawiera danych wyeksportowanych z programu Gromadnik "
                                      "(brak liczby kategorii w sekcji [%2]).\nNiczego nie zaimportowano.")
                           .arg(sourceFile, section));
}

} // namespace

namespace Import {

void run(const QString &dir, const QString &sourceFile, const Progress &progress, Writing writing)
{
    checkSource(sourceFile);
    Walk(dir, sourceFile, Walk::Pass::Check, Writing::Batched).run({});
    Journal::settle(dir);
    Journal::removeStaged(dir); // of an import that failed or was cut short
    try {
        Walk(dir, sourceFile, Walk::Pass::Write, writing).run(progress);
    } catch (const AppError &error) {
        // A file not yet moved into place: nothing of the import is in the catalogue. Once the
        // journal is written its staged files are its own.
        if (!Journal::isPending(dir))
            Journal::removeStaged(dir);
        throw AppError(QString(error.message()).remove(QLatin1String(Journal::stagedSuffix)));
    }
}

} // namespace Import
