#pragma once

// Exports of a table or a list to a text file.

#include <QString>

class QListWidget;
class QTableWidget;

// Header texts, then one line per row, every cell followed by ","; a comma in
// a cell becomes a blank. False when the file cannot be written.
bool exportTableToCsv(const QString& path, QTableWidget* table);

// exportTableToCsv, creating the file's folder first when it is missing.
bool exportTableToCsvCreatingFolder(const QString& path, QTableWidget* table);

// Every item's text followed by ",", no line breaks.
bool exportListWidget(const QString& path, QListWidget* list);
