#pragma once
// Finding the database file of a folder that holds a logger.

#include <QString>

// The first ".csv" or ".pdb" file of the folder (not its subfolders), in name
// order, with a line whose first field, as an eight-digit number, is exactly
// the serial; empty when none. Files that cannot be read are skipped.
QString FindFileHoldingSerial(const QString& folder, const QString& serial);
