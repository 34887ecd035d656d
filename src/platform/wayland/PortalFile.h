#pragma once
// The picture file that the desktop portal's answer names. The portal may write every
// caller's picture to one fixed file in a folder that others can write to (/tmp), so
// only what the portal can have written is read: a regular file of this user, reached
// without following a link, no larger than a picture of the desktop can be.
#include <QByteArray>
#include <QString>
#include <optional>

namespace kamsulo::platform {

// The file's bytes, and the file removed; nothing when it is not such a file or holds
// more than `maxBytes` (a file of this user is removed then too, anything else is left
// alone).
std::optional<QByteArray> takePortalFile(const QString& path, qint64 maxBytes);

} // namespace kamsulo::platform
