#pragma once
// A logger's position: from its second comment line, read in the coordinate
// format the Address2 setting names, or else from its grid reference when the
// letter pair is a British National Grid 100 km square (the digits are then
// the 10 m easting and northing inside it). Free text, valve IDs and "AA"
// references give none. A text that does not fit its format, or that falls
// outside the area where its grid is used, gets a reason, never a guess.
//
// Setting up a coordinate transformation takes PROJ a while, so each is made
// once in the program and a finder keeps its own copy: build one finder per
// Address2 value and reuse it for every record. A finder has its own PROJ
// context; use it on one thread.

#include "GeoPosition.h"

#include <QString>
#include <memory>
#include <string_view>
#include <vector>

class LoggerList;
class RecordStore;
struct LoggerRecord;

class PositionFinder
{
public:
    // projData: a folder holding PROJ's database (proj.db) to use instead of
    // the one PROJ finds itself, as a portable installation would ship it.
    explicit PositionFinder(const QString& address2, const QString& projData = QString());
    ~PositionFinder();
    PositionFinder(const PositionFinder&) = delete;
    PositionFinder& operator=(const PositionFinder&) = delete;

    GeoPosition place(const LoggerRecord& rec);
    // The two sources on their own (texts as stored, Windows-1252).
    GeoPosition fromComment2(std::string_view text);
    GeoPosition fromGridRef(std::string_view gridRef);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The positions of a document's records, element i - 1 for record i.
std::vector<GeoPosition> PlaceLoggers(const LoggerList& list, const QString& address2);
// The positions of the store's slots 1..StoreCount, element i - 1 for slot i.
std::vector<GeoPosition> PlaceLoggers(const RecordStore& store, const QString& address2);
