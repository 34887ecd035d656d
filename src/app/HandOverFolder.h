#pragma once
// The private folder where pictures for an editor wait: they may show anything that was
// on the screen, so only the user may enter it, and none stays longer than a day.
#include <QDateTime>
#include <QImage>
#include <QString>

namespace kamsulo::app {

// Makes `folder` (its parents as usual) with mode 0700 in one step, or takes an existing
// one only when it is a real folder of the user's, not a link, made private again.
bool preparePrivateFolder(const QString& folder);

// Removes the pictures (and a save's leftovers) last written more than a day before `now`.
void removeOldPictures(const QString& folder, const QDateTime& now);

// Writes `picture` as a PNG through the atomic writer; false when it could not.
bool writeHandOverPicture(const QImage& picture, const QString& file);

} // namespace kamsulo::app
