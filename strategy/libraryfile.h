#pragma once

// A look at an add-on file before the dynamic loader maps it: the loader
// trusts the file's own account of its layout, and a file cut short (a copy
// broken off, a download that stopped) makes it touch memory past the end of
// the file, which ends the process before any window.

#include <QString>

// True when `path` is a whole shared library for this machine: an ELF shared
// object of our word size and byte order whose header, program headers, the
// file parts of its segments and section headers all lie within the file.
// Otherwise false, with the reason in `reason` when given.
bool isWholeSharedLibrary(const QString& path, QString* reason = nullptr);
