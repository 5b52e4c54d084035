#include "Import.h"

#include "store/Codepage.h"
#include "store/Error.h"
#include "store/Journal.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

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
            m_names.append({name, {}});
            category(name, [&](double done) {
                if (progress)
                    progress(int(scale * (i + done) / count));
            });
        }
        if (m_pass == Pass::Check)
            checkNamesTogether();
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

    // Names that are sound one by one may still share files or differ only in letter case.
    void checkNamesTogether() const
    {
        const QString problem = CatalogueFiles::catalogueProblem(m_names);
        if (!problem.isEmpty())
            throw AppError(QStringLiteral("Plik %1 zawiera nazwy, których nie można użyć razem: %2\n"
                                          "Niczego nie zaimportowano.")
                               .arg(m_sourceFile, problem));
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
            m_names.last().subcategories.append(sub);
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
    QList<CatalogueFiles::CategoryNames> m_names; // what the walk has met, for the check
};

const QString nothingImported = QStringLiteral("\nNiczego nie zaimportowano.");

// What a whole export holds, walked over the source alone in the export's own order: every key
// that the export writes is there, no count is negative, and every category and subcategory name
// can name files. A file cut short, damaged or of another kind is refused before anything is
// written, with the section and key where it goes wrong.
class SourceCheck
{
public:
    // `cutLine` is the file's last line when no line break ends it: its value may have been cut
    // anywhere, so the walk must not need it.
    SourceCheck(const QString &sourceFile, const QByteArray &cutLine, const QString &cutSection)
        : m_source(sourceFile), m_sourceFile(sourceFile), m_cutSection(cutSection)
    {
        if (const qsizetype equals = cutLine.indexOf('='); equals > 0)
            m_cutKey = Codepage::decode(cutLine.first(equals).trimmed());
    }

    void run()
    {
        const QString settings = sectionOf(CatalogueFiles::categoryList({}), config);
        for (const QString &name : settingKeys())
            value(settings, name);
        const int count = countOf(settings, QStringLiteral("liczba_kategorii"));
        const QString list = sectionOf(CatalogueFiles::categoryList({}), QStringLiteral("kategorie"));
        // A list's names are checked before what they lead to, as the import's own check does.
        QStringList names;
        for (int i = 0; i < count; ++i)
            names.append(
                name(list, key(i), QStringLiteral("kategorii"), promised(settings, "liczba_kategorii", count)));
        for (const QString &category : std::as_const(names))
            this->category(category);
    }

private:
    static QString promised(const QString &section, const char *counterKey, int count)
    {
        return QStringLiteral(", choć %1=%2 w sekcji [%3] zapowiada tyle wpisów")
            .arg(QLatin1String(counterKey), QString::number(count), section);
    }

    QString value(const QString &section, const QString &name, const QString &promise = {}) const
    {
        if (!m_cutKey.isEmpty() && name.compare(m_cutKey, Qt::CaseInsensitive) == 0 &&
            section.compare(m_cutSection, Qt::CaseInsensitive) == 0)
            throw AppError(QStringLiteral("Plik %1 jest ucięty: jego ostatni wiersz, klucz \"%2\" w sekcji [%3], "
                                          "urywa się bez końca wiersza.%4")
                               .arg(m_sourceFile, name, section, nothingImported));
        static const QString missing = QStringLiteral("\n"); // no stored value holds a line break
        const QString text = m_source.ReadText(section, name, missing);
        if (text == missing)
            throw AppError(QStringLiteral("Plik %1 nie jest pełnym eksportem danych: w sekcji [%2] brakuje klucza "
                                          "\"%3\"%4. Plik jest ucięty albo uszkodzony.%5")
                               .arg(m_sourceFile, section, name, promise, nothingImported));
        return text;
    }

    // A count that is no number reads as 0, as the walk reads it; a negative one is damage.
    int countOf(const QString &section, const QString &name) const
    {
        const QString text = value(section, name);
        const int count = parseProfileNumber(text, 0);
        if (count < 0)
            throw AppError(QStringLiteral("Plik %1 jest uszkodzony: w sekcji [%2] klucz \"%3\" podaje ujemną liczbę "
                                          "%4.%5")
                               .arg(m_sourceFile, section, name, text, nothingImported));
        return count;
    }

    QString name(const QString &section, const QString &name, const QString &what, const QString &promise) const
    {
        const QString text = value(section, name, promise);
        if (const QString problem = CatalogueFiles::nameProblem(text); !problem.isEmpty())
            throw AppError(QStringLiteral("Plik %1 zawiera nazwę %2 \"%3\", której nie można użyć: %4%5")
                               .arg(m_sourceFile, what, text, problem, nothingImported));
        return text;
    }

    void category(const QString &category) const
    {
        const QString fileName = CatalogueFiles::subcategoryList({}, category);
        const QString settings = sectionOf(fileName, config);
        const int count = countOf(settings, QStringLiteral("liczba_podkategorii"));
        const QString list = sectionOf(fileName, QStringLiteral("podkategorie"));
        QStringList names;
        for (int k = 0; k < count; ++k)
            names.append(
                name(list, key(k), QStringLiteral("podkategorii"), promised(settings, "liczba_podkategorii", count)));
        for (const QString &subcategory : std::as_const(names))
            this->subcategory(category, subcategory);
    }

    void subcategory(const QString &category, const QString &subcategory) const
    {
        const QString fileName = CatalogueFiles::itemFile({}, category, subcategory);
        const QString settings = sectionOf(fileName, config);
        const int count = countOf(settings, QStringLiteral("liczba_pozycji"));
        for (int j = 1; j <= 10; ++j)
            value(sectionOf(fileName, QStringLiteral("pozycje")), key(j));
        const QString promise = promised(settings, "liczba_pozycji", count);
        for (int n = 0; n < count; ++n) {
            const QString section = sectionOf(fileName, key(n));
            for (const QString &name : itemFieldKeys() + itemTextKeys())
                value(section, name, promise);
            photos(CatalogueFiles::photoList({}, category, subcategory, n));
        }
    }

    void photos(const QString &fileName) const
    {
        const QString settings = sectionOf(fileName, config);
        const int count = countOf(settings, QStringLiteral("liczba_zdjec"));
        const QString promise = promised(settings, "liczba_zdjec", count);
        for (int p = 0; p < count; ++p)
            value(sectionOf(fileName, QStringLiteral("zdjecia")), key(p), promise);
    }

    ProfileFile m_source;
    QString m_sourceFile;
    QString m_cutSection;
    QString m_cutKey;
};

// The section and the line in which the byte at `offset` stands.
std::pair<QByteArray, QByteArray> lineAt(const QByteArray &bytes, qsizetype offset)
{
    QByteArray section;
    qsizetype begin = 0;
    while (true) {
        const qsizetype end = bytes.indexOf('\n', begin);
        const QByteArray line = bytes.mid(begin, (end < 0 ? bytes.size() : end) - begin).trimmed();
        if (end < 0 || end >= offset)
            return {section, line};
        if (line.startsWith('[') && line.contains(']'))
            section = line.mid(1, line.indexOf(']') - 1);
        begin = end + 1;
    }
}

// An export is Windows-1250 text. UTF-8 (what most editors save today) would turn every Polish
// letter into two wrong ones, so it is refused rather than imported garbled.
void checkEncoding(const QString &sourceFile, const QByteArray &bytes)
{
    const QByteArray byteOrderMark("\xEF\xBB\xBF");
    const qsizetype start = bytes.startsWith(byteOrderMark) ? byteOrderMark.size() : 0;
    qsizetype first = start;
    while (first < bytes.size() && uchar(bytes[first]) < 0x80)
        ++first;
    if (first == bytes.size())
        return; // plain ASCII reads alike in both
    if (start == 0) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8.decode(bytes);
        Q_UNUSED(decoded);
        if (utf8.hasError())
            return; // not UTF-8: Windows-1250, as an export is
    }
    const auto [section, line] = lineAt(bytes, first);
    throw AppError(QStringLiteral("Plik %1 jest zapisany w kodowaniu UTF-8, a plik eksportu programu Gromadnik "
                                  "musi być w kodowaniu Windows-1250 (pierwszy znak spoza ASCII stoi w sekcji [%2], w "
                                  "wierszu \"%3\"). Zapisz go w kodowaniu Windows-1250 i zaimportuj ponownie.%4")
                       .arg(sourceFile, QString::fromUtf8(section), QString::fromUtf8(line.left(80)), nothingImported));
}

// An export file starts with the catalogue's settings, the number of categories among them, and
// every line of it ends with a line break.
void checkSource(const QString &sourceFile)
{
    const QFileInfo info(sourceFile);
    QFile file(sourceFile);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Nie można odczytać pliku %1.%2").arg(sourceFile, nothingImported));
    const QByteArray bytes = file.readAll();
    const ProfileFile source(sourceFile);
    const QString section = sectionOf(CatalogueFiles::categoryList({}), config);
    if (!parseNumber(source.ReadText(section, QStringLiteral("liczba_kategorii"), {})))
        throw AppError(QStringLiteral("Plik %1 nie zawiera danych wyeksportowanych z programu Gromadnik "
                                      "(brak liczby kategorii w sekcji [%2]).%3")
                           .arg(sourceFile, section, nothingImported));
    checkEncoding(sourceFile, bytes);
    const auto [lastSection, cutLine] =
        bytes.endsWith('\n') ? std::pair<QByteArray, QByteArray>() : lineAt(bytes, bytes.size());
    SourceCheck(sourceFile, cutLine, Codepage::decode(lastSection)).run();
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
