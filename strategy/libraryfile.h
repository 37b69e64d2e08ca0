#pragma once

// A look at an add-on library on both sides of the dynamic loader. Before it
// maps the file: the loader trusts the file's own account of its layout, and
// a file cut short (a copy broken off, a download that stopped) makes it touch
// memory past the end of the file, which ends the process before any window.
// After it: the loader resolves an export by name alone, and a name exported
// for data rather than code ends the process as soon as it is called.

#include <QString>

// True when `path` is a whole shared library for this machine: an ELF shared
// object of our word size and byte order whose header, program headers, the
// file parts of its segments and section headers all lie within the file.
// Otherwise false, with the reason in `reason` when given.
bool isWholeSharedLibrary(const QString& path, QString* reason = nullptr);

// True when `address`, as the loader resolved an export, lies in a function
// some loaded library exports (its dynamic symbol is a function or an
// indirect function). Otherwise false, with the reason in `reason` when given.
bool isExportedFunction(const void* address, QString* reason = nullptr);
