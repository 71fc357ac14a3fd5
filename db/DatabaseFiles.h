// The files SQLite keeps for the shared database: the database file and its
// "-wal", "-shm" and "-journal" side files. Nothing but SQLite may open them
// (closing any descriptor of one drops the program's locks on the
// database), so every file a program writes is first checked against them.
#pragma once

#include <QString>

namespace quen {

// True when path names the shared database (the open one, or the one the
// alias names) or one of its side files: by name, or through a symbolic or
// hard link (same device and inode). Only names are looked at (stat), no
// file is opened. A server database has no files here.
bool isDatabaseFile(const QString& path);

} // namespace quen
