#include "imaging/save/FileFilter.h"

#include <QRegularExpression>

namespace kamsulo::imaging {

QList<FilterPair> parseFilter(const QString& filter) {
    const QStringList parts = (filter + QStringLiteral("||")).split(QLatin1Char('|'));
    QList<FilterPair> pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i);
        const QString pattern = parts.at(i + 1);
        if (description.isEmpty() || pattern.trimmed().isEmpty()) break;
        FilterPair pair{description, {}};
        for (const QString& p : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!p.trimmed().isEmpty()) pair.patterns << p.trimmed();
        if (pair.patterns.isEmpty()) break;
        pairs << pair;
    }
    return pairs;
}

namespace {

// The patterns that `description` lists in brackets at its end, or none.
QStringList trailingPatterns(const QString& description, qsizetype& open) {
    const QString d = description.trimmed();
    open = -1;
    if (!d.endsWith(QLatin1Char(')'))) return {};
    open = d.lastIndexOf(QLatin1Char('('));
    if (open < 0) return {};
    const QString inner = d.mid(open + 1, d.size() - open - 2);
    QStringList patterns;
    for (const QString& p :
         inner.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts))
        patterns << p;
    return patterns;
}

} // namespace

QStringList fileDialogFilters(const QString& filter) {
    QStringList filters;
    for (const FilterPair& pair : parseFilter(filter)) {
        const QString list = pair.patterns.join(QLatin1Char(' '));
        qsizetype open = -1;
        const QStringList own = trailingPatterns(pair.description, open);
        if (!own.isEmpty() && own == pair.patterns)
            filters << pair.description.trimmed().left(open) + QLatin1Char('(') + list +
                           QLatin1Char(')');
        else
            filters << pair.description.trimmed() + QStringLiteral(" (") + list + QLatin1Char(')');
    }
    return filters;
}

QString defaultSuffix(const QString& defaultExt) {
    QString ext = defaultExt.trimmed();
    if (ext.contains(QLatin1Char(';')) || ext.contains(QLatin1Char(' '))) return {};
    if (ext.startsWith(QLatin1String("*.")))
        ext = ext.mid(2);
    else if (ext.startsWith(QLatin1Char('.')))
        ext = ext.mid(1);
    if (ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?')) ||
        ext.contains(QLatin1Char('/')))
        return {};
    return ext;
}

} // namespace kamsulo::imaging
