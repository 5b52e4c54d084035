#include "CatalogueFiles.h"

#include "Codepage.h"
#include "Error.h"

#include <limits>

#include <QHash>
#include <optional>

namespace CatalogueFiles {

QString categoryList(const QString &dir)
{
    return dir + QStringLiteral("kategorie.gmd");
}

QString subcategoryList(const QString &dir, const QString &category)
{
    return dir + category + QStringLiteral("_podkategorie.gmd");
}

QString itemFile(const QString &dir, const QString &category, const QString &subcategory)
{
    return dir + category + QLatin1Char('_') + subcategory + QStringLiteral("_dane.gmd");
}

QString photoList(const QString &dir, const QString &category, const QString &subcategory, int item)
{
    return dir + category + QLatin1Char('_') + subcategory + QLatin1Char('_') + QString::number(item) +
           QStringLiteral(".gmd");
}

namespace {

// What the store adds to a file's name while it writes it: the batch writer's ".~gromadnik" is
// longer than QSaveFile's ".XXXXXX".
constexpr qsizetype temporarySuffix = 11;
// An item number as long as an int can make it.
constexpr qsizetype itemNumberDigits = 10;

qsizetype bytes(const QString &name)
{
    return name.toUtf8().size();
}

// The longest names of a category's and of a subcategory's files: the subcategory list, and the
// photo list of an item with the longest number, each while it is being written.
qsizetype longestCategoryFile(const QString &category)
{
    return bytes(category) + qsizetype(sizeof("_podkategorie.gmd") - 1) + temporarySuffix;
}

qsizetype longestSubcategoryFile(const QString &category, const QString &subcategory)
{
    return bytes(category) + 1 + bytes(subcategory) + 1 + itemNumberDigits + 4 + temporarySuffix;
}

QString pairTooLong(const QString &category, const QString &subcategory)
{
    const qsizetype longest = longestSubcategoryFile(category, subcategory);
    if (longest <= fileNameLimit)
        return {};
    const qsizetype room = fileNameLimit - (longest - bytes(category) - bytes(subcategory));
    return QStringLiteral("Nazwy kategorii \"%1\" i podkategorii \"%2\" są razem za długie na nazwy plików: zajmują "
                          "%3 bajtów, a mogą najwyżej %4 (polska litera zajmuje dwa bajty). Skróć jedną z nich.")
        .arg(category, subcategory)
        .arg(bytes(category) + bytes(subcategory))
        .arg(room);
}

// Of all the catalogue's file names only these can meet, compared without regard to letter case
// as Windows compares them. "kategorie.gmd" ends in neither "_podkategorie.gmd", "_dane.gmd" nor
// a digit; a subcategory list C_podkategorie.gmd meets only the list of a category spelt alike;
// an item file C_S_dane.gmd and a photo list C_S_N.gmd (N digits only, so its last "_" is the
// one before N) meet only the files of another pair whose C_S is spelt alike. So two categories
// clash when their names fold alike, and two subcategories, of the same category or not, when
// their category, "_" and name do.
QString pairKey(const QString &category, const QString &subcategory)
{
    return (category + QLatin1Char('_') + subcategory).toCaseFolded();
}

QString duplicate(const QString &name, const QString &existing)
{
    if (name == existing)
        return QStringLiteral("Nazwa \"%1\" jest już na liście.").arg(existing);
    return QStringLiteral("Nazwa \"%1\" jest już na liście jako \"%2\"; nazwy różniące się tylko wielkością liter "
                          "dałyby te same pliki.")
        .arg(name, existing);
}

QString sharedFiles(const QString &category, const QString &subcategory, const QString &otherCategory,
                    const QString &otherSubcategory)
{
    const QString stem = category + QLatin1Char('_') + subcategory;
    return QStringLiteral("Kategoria \"%1\" z podkategorią \"%2\" miałaby te same pliki katalogu co kategoria "
                          "\"%3\" z podkategorią \"%4\": %5 i listy zdjęć %6_0.gmd, %6_1.gmd itd. Wybierz inną nazwę.")
        .arg(category, subcategory, otherCategory, otherSubcategory, stem + QStringLiteral("_dane.gmd"), stem);
}

// A name of `names` other than entry `own` that folds like `name`.
std::optional<QString> sameSpelling(const QStringList &names, qsizetype own, const QString &name)
{
    const QString folded = name.toCaseFolded();
    for (qsizetype k = 0; k < names.size(); ++k) {
        if (k != own && names[k].toCaseFolded() == folded)
            return names[k];
    }
    return std::nullopt;
}

struct Pair
{
    qsizetype category;
    qsizetype subcategory;
};

} // namespace

QString nameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("Nazwa nie może być pusta.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("Nazwa nie może brzmieć \"%1\".").arg(name);
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar c : name) {
        if (forbidden.contains(c))
            return QStringLiteral("Nazwa nie może zawierać znaku \"%1\".\nNiedozwolone są znaki: / \\ : * ? \" < > |")
                .arg(c);
        // C0, DEL and C1 alike: the C1 ones come from text decoded with the wrong code page.
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("Nazwa nie może zawierać znaków sterujących.");
    }
    const auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    if (isBlank(name.front()) || isBlank(name.back()))
        return QStringLiteral("Nazwa nie może zaczynać się ani kończyć spacją.");
    if (name.size() >= 2 && name.front() == QLatin1Char('\'') && name.back() == QLatin1Char('\''))
        return QStringLiteral("Nazwa nie może być ujęta w apostrofy.");
    if (name.size() > maxNameLength)
        return QStringLiteral("Nazwa może mieć najwyżej %1 znaków.").arg(maxNameLength);
    // Either kind of name needs as much room for its shortest partner: a category for its
    // subcategory list, a subcategory for its photo lists beside a one-letter category.
    if (const qsizetype longest = longestCategoryFile(name); longest > fileNameLimit)
        return QStringLiteral("Nazwa jest za długa na nazwę pliku: zajmuje %1 bajtów, a może najwyżej %2 (polska "
                              "litera zajmuje dwa bajty).")
            .arg(bytes(name))
            .arg(fileNameLimit - (longest - bytes(name)));
    return Codepage::unencodableMessage(name);
}

void checkCanGrow(int count, const QString &what, const QString &fileName)
{
    if (count < 0)
        throw AppError(QStringLiteral("Liczba %1 zapisana w pliku %2 jest ujemna (%3): plik jest uszkodzony.\n"
                                      "Nic nie zostało zapisane.")
                           .arg(what, fileName, QString::number(count)));
    if (count == std::numeric_limits<int>::max())
        throw AppError(QStringLiteral("Liczba %1 zapisana w pliku %2 wynosi %3 i nie może już wzrosnąć.\n"
                                      "Nic nie zostało zapisane.")
                           .arg(what, fileName, QString::number(count)));
}

QString countProblem(int count, int present, const QString &what, const QString &fileName)
{
    if (count < 0)
        return QStringLiteral("Liczba %1 zapisana w pliku %2 jest ujemna (%3): plik jest uszkodzony.\n"
                              "Plik nie został zmieniony.")
            .arg(what, fileName, QString::number(count));
    if (count > present)
        return QStringLiteral("Plik %1 podaje liczbę %2 %3, ale zawiera tylko %4: pokazano tyle, ile zawiera.\n"
                              "Plik nie został zmieniony.")
            .arg(fileName, what, QString::number(count), QString::number(present));
    return {};
}

QString clashProblem(const QList<CategoryNames> &catalogue, const NewName &change)
{
    if (const QString problem = nameProblem(change.name); !problem.isEmpty())
        return problem;
    const bool ofCategory = change.subcategory < 0;
    const CategoryNames owner = catalogue.value(change.category);
    QStringList siblings;
    if (ofCategory) {
        for (const CategoryNames &category : catalogue)
            siblings.append(category.name);
    } else {
        siblings = owner.subcategories;
    }
    if (const auto existing = sameSpelling(siblings, ofCategory ? change.category : change.subcategory, change.name))
        return duplicate(change.name, *existing);

    // The pairs the change makes: the renamed category with each of its subcategories, or the one subcategory.
    const QString category = ofCategory ? change.name : owner.name;
    const QStringList subcategories = ofCategory ? owner.subcategories : QStringList{change.name};
    if (ofCategory && longestCategoryFile(category) > fileNameLimit)
        return nameProblem(category);
    for (const QString &sub : subcategories) {
        if (const QString problem = pairTooLong(category, sub); !problem.isEmpty())
            return problem;
    }
    QHash<QString, Pair> others;
    for (qsizetype c = 0; c < catalogue.size(); ++c) {
        for (qsizetype s = 0; s < catalogue[c].subcategories.size(); ++s) {
            if (c != change.category || (!ofCategory && s != change.subcategory))
                others.insert(pairKey(catalogue[c].name, catalogue[c].subcategories[s]), {c, s});
        }
    }
    for (const QString &sub : subcategories) {
        const auto other = others.constFind(pairKey(category, sub));
        if (other != others.cend()) {
            const CategoryNames &otherCategory = catalogue[other->category];
            return sharedFiles(category, sub, otherCategory.name, otherCategory.subcategories[other->subcategory]);
        }
    }
    return {};
}

QString catalogueProblem(const QList<CategoryNames> &catalogue)
{
    QHash<QString, qsizetype> categories;
    QHash<QString, Pair> pairs;
    for (qsizetype c = 0; c < catalogue.size(); ++c) {
        const CategoryNames &category = catalogue[c];
        if (const QString problem = nameProblem(category.name); !problem.isEmpty())
            return problem;
        if (const auto earlier = categories.constFind(category.name.toCaseFolded()); earlier != categories.cend())
            return duplicate(category.name, catalogue[*earlier].name);
        categories.insert(category.name.toCaseFolded(), c);
        QHash<QString, qsizetype> own;
        for (qsizetype s = 0; s < category.subcategories.size(); ++s) {
            const QString &sub = category.subcategories[s];
            if (const QString problem = nameProblem(sub); !problem.isEmpty())
                return problem;
            if (const auto sibling = own.constFind(sub.toCaseFolded()); sibling != own.cend())
                return duplicate(sub, category.subcategories[*sibling]);
            own.insert(sub.toCaseFolded(), s);
            if (const QString problem = pairTooLong(category.name, sub); !problem.isEmpty())
                return problem;
            const QString key = pairKey(category.name, sub);
            if (const auto other = pairs.constFind(key); other != pairs.cend()) {
                const CategoryNames &otherCategory = catalogue[other->category];
                return sharedFiles(category.name, sub, otherCategory.name,
                                   otherCategory.subcategories[other->subcategory]);
            }
            pairs.insert(key, {c, s});
        }
    }
    return {};
}

} // namespace CatalogueFiles

const KeyedList KeyedList::categories{QStringLiteral("kategorie"), QStringLiteral("liczba_kategorii"),
                                      QStringLiteral("kategorii")};
const KeyedList KeyedList::subcategories{QStringLiteral("podkategorie"), QStringLiteral("liczba_podkategorii"),
                                         QStringLiteral("podkategorii")};
const KeyedList KeyedList::photos{QStringLiteral("zdjecia"), QStringLiteral("liczba_zdjec"), QStringLiteral("zdjęć")};

int KeyedList::count(const ProfileFile &file) const
{
    return file.ReadNumber(QStringLiteral("config"), counterKey, 0);
}

QStringList KeyedList::read(const ProfileFile &file) const
{
    QStringList entries;
    const int n = std::clamp(count(file), 0, file.NumberedKeys(section));
    entries.reserve(n);
    for (int p = 0; p < n; ++p)
        entries.append(file.ReadText(section, QString::number(p), QString()));
    return entries;
}

QString KeyedList::problem(const ProfileFile &file) const
{
    return CatalogueFiles::countProblem(count(file), file.NumberedKeys(section), what, file.fileName());
}

void KeyedList::append(ProfileFile &file, const QString &entry) const
{
    const int n = count(file);
    CatalogueFiles::checkCanGrow(n, what, file.fileName());
    file.Edit([&](ProfileEdit &edit) {
        edit.WriteText(section, QString::number(n), entry);
        edit.WriteNumber(QStringLiteral("config"), counterKey, n + 1);
    });
}
