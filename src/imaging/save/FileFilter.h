#pragma once
// The file dialogs' filter strings: the callers write "description|pattern" pairs
// separated by "|" ("PNG-Datei (*.png)|*.png"), patterns of one pair separated by
// ";". These turn them into the name filters of the file dialog.
#include <QString>
#include <QStringList>

namespace kamsulo::imaging {

struct FilterPair {
    QString description;
    QStringList patterns;
    bool operator==(const FilterPair&) const = default;
};

// The pairs in order. An empty element ends the list, as the double "|" that ends
// the caller's text does; a description without its pattern is dropped.
QList<FilterPair> parseFilter(const QString& filter);

// One name filter per pair, "description (pattern pattern ...)", the form in which
// the dialog shows the description and matches the patterns. A description that
// already ends in its own pattern list in brackets keeps its text, the ";" between
// the patterns becoming blanks.
QStringList fileDialogFilters(const QString& filter);

// The suffix the dialog appends to a typed name without one: "png" for "*.png",
// ".png" or "png"; none for a list of several patterns or a wildcard suffix.
QString defaultSuffix(const QString& defaultExt);

} // namespace kamsulo::imaging
