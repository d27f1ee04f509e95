#pragma once
// A document's loggers handed to a GIS: one point per logger with a position
// (WGS 84 longitude and latitude) and its texts and latest reading, written
// through GDAL/OGR in the format the output's extension names. A GeoPackage
// also gets every reading in a table of its own.
//
// The fields, named for the Shapefile's ten-character limit and the same in
// every format:
//   serial     eight digits, as the list shows it
//   gridref    the grid reference
//   comment1   comment 1
//   comment2   comment 2
//   deployed   the date deployed
//   received   the date (or time) received
//   usercomm   the user comment
//   date       the latest reading's date  (these four are empty, or null,
//   status     its status                  when the logger has no reading)
//   level      its level
//   spread     its spread
//   readings   how many readings the logger has
//   leaks      how many of them are leaks
// A CSV file has no geometry: it ends with "latitude" and "longitude"
// columns instead. The "readings" table of a GeoPackage has serial, date,
// status, level and spread, one row for every reading, newest first.
//
// Texts are written as UTF-8 from the records' Windows-1252. A Shapefile
// holds at most 254 bytes of a text; KML and CSV carry the values as text.
//
// The output is written whole or not at all: under a temporary name in the
// same folder (all of a Shapefile's files), put in place only when complete.

#include "GeoPosition.h"

#include <QString>
#include <QtGlobal>
#include <vector>

class LoggerList;

enum class GisFormat { Unknown, GeoPackage, GeoJson, Kml, Shapefile, Csv };

// The format an output's extension names (any case).
GisFormat GisFormatOf(const QString& path);

struct UnplacedLogger
{
    qint32 serial = 0;
    QString reason;
};

struct GisExportResult
{
    bool ok = false;
    int written = 0;                      // loggers written as points
    std::vector<UnplacedLogger> unplaced; // left out for want of a position, in line order
    QString error;                        // why nothing was written
};

// The list's loggers, in line order, placed by the grid format of address2.
GisExportResult ExportLoggers(const LoggerList& list, const QString& address2, const QString& path);
// The same with positions already found (element i - 1 for record i).
GisExportResult ExportLoggers(const LoggerList& list, const std::vector<GeoPosition>& positions,
                              const QString& path);
