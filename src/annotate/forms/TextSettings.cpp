#include "annotate/forms/TextSettings.h"

#include <cmath>

namespace kamsulo::annotate {

TextSettings& rememberedTextSettings() {
    static TextSettings settings;
    return settings;
}

std::optional<double> numberFromText(const QString& text) {
    QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    if (t.count(QLatin1Char(',')) == 1 && !t.contains(QLatin1Char('.')))
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> fontSizeFromText(const QString& text) {
    const auto value = numberFromText(text);
    if (!value || *value <= 0 || *value > 2160) return std::nullopt;
    return value;
}

QStringList textSizeChoices() {
    QStringList sizes;
    for (int s = 8; s <= 12; ++s)
        sizes << QString::number(s);
    for (int s = 14; s <= 72; s += 2)
        sizes << QString::number(s);
    return sizes;
}

int roundHalfEven(double value) {
    return int(std::nearbyint(value));
}

} // namespace kamsulo::annotate
