#pragma once
// What the add-text dialog remembers for the rest of the run, and the small
// conversions it needs between its text fields and numbers.
#include <QString>
#include <QStringList>
#include <optional>

namespace kamsulo::annotate {

// All "" at program start; written by OK, read when the dialog loads.
struct TextSettings {
    QString lastText;
    QString lastTextSize;
    QString lastTextColor;
    QString lastTextFont;
    QString lastTextBold;
    QString lastTextUnderline;
    QString lastTextItalic;
};

// The program-wide instance.
TextSettings& rememberedTextSettings();

// A number typed or stored as text: blanks around it are allowed, the decimal
// separator may be a point or a comma. Anything else is no number.
std::optional<double> numberFromText(const QString& text);

// A font size the canvas can take: a number above 0 and at most 2160 points.
std::optional<double> fontSizeFromText(const QString& text);

// The sizes offered: 8 to 12, then 14 to 72 in steps of 2.
QStringList textSizeChoices();

// Rounds to a whole number, halves to the even neighbour.
int roundHalfEven(double value);

} // namespace kamsulo::annotate
