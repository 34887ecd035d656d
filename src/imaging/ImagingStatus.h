// Status numbers of the imaging operations: 0 is success, 1 to 20 name the
// failure. Every step of a save runs only while the status is Ok.
#pragma once

#include <QLoggingCategory>
#include <QString>

namespace kamsulo::imaging {

Q_DECLARE_LOGGING_CATEGORY(lcImaging)

enum Status : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    SystemError = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedLibraryVersion = 17,
    LibraryNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
};

// The English text of a status number ("Unknown GDI+ Error." for any other).
QString statusText(int status);

// Writes the text of a failing status to the debug log and returns the status
// unchanged, so that callers can write `if (checkStatus(step()) == Ok)`.
int checkStatus(int status);

} // namespace kamsulo::imaging
