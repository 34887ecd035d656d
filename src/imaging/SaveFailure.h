// Why a save failed, as a sentence for the user.
#pragma once

#include <QString>

namespace kamsulo::imaging {

enum class SaveFailure {
    None,
    NoPicture,
    NoFileName,
    OutOfMemory,
    FileSystem, // see the system error number
    Encoder,
    ForeignLink, // the name is another user's link in a shared folder
};

// A German sentence for the failure; `systemError` is the errno of a file
// system failure. Empty for SaveFailure::None.
QString failureText(SaveFailure failure, int systemError);

} // namespace kamsulo::imaging
