// Files that a decoder opens while it draws (libwmf's fonts), opened before the walls
// go up and handed out again by their path: read-only opens of these paths get a copy
// of the descriptor, every other open goes to the system (which then refuses it).
#pragma once

namespace kamsulo::imaging::decoder {

// Opens every file that the Ghostscript font map `fontmap` names.
void preopenFontmapFonts(const char* fontmap);

// open(): a copy of a preopened file's descriptor, else the system's answer.
int openPreopened(const char* path, int flags, unsigned mode);

// The descriptor of the file preopened under `path`, or -1; safe in a signal handler.
int preopenedDescriptor(const char* path);

} // namespace kamsulo::imaging::decoder
