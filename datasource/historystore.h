#pragma once

// The one write of a downloaded daily history into its folder (data/ and
// the folders beside it), shared by the history sources' parse. It writes
// only the file the caller names, whole or not at all, and reads nothing;
// what reads the stored files back is datasource/storedhistory.

#include "core/stock.h"

#include <QString>
#include <QVector>

// What the history sources' parse hands on, storing the body on the way.
// Reading a stored file (`cacheDir` empty) gives `bars` as they are. A body
// to be stored as `cacheDir` + `code` must be a whole answer for that stock
// (`whole`): its provider's array of bar arrays closed (a body cut off inside
// it, which the network layer does not always report), numbers where the
// bars hold numbers, and, where the provider names the stock, the requested
// one. Any other body gives no bars. The body is written whole, and only when
// it gave bars and `code` is fit for a path, so that a failed, cut or wrong
// download leaves the stored history byte for byte as it was. Bars that
// cannot be stored (a full disk, a folder in the file's place) still come
// back, and `notStored` (when given) says why they were not stored
// (saveFailureReason); it is empty otherwise.
QVector<Stock> storeHistoryBody(QVector<Stock> bars, bool whole, const QString& body, const QString& cacheDir,
                                const QString& code, QString* notStored = nullptr);
