#pragma once
// How wide a list window's columns must be to show what they hold, and how
// AutoSize shares the list's width out among them.

#include "LoggerList.h"
#include "Twips.h"

#include <array>

class QHeaderView;
class QString;
class QTreeView;

using ColumnWidths = std::array<int, LoggerList::ColumnCount>;

// The narrowest the column may be shown, in pixels: its header whole (with
// room for the sort mark) and, for a column of fixed-width text (serial,
// location, dates, status letter, readings), the widest such text.
int MinimumColumnWidth(const QTreeView* view, int column, const QString& header);

// AutoSize: the widths that fit the columns into `available` pixels.
// Serial to date take their shares of it, status to spread their fixed
// widths, the user comment what is left; each is kept at its minimum at
// least, and a column now 0 wide (hidden) stays hidden. When the minimums
// need more room than there is, the columns stand at their minimums.
ColumnWidths FitColumnWidths(const ColumnWidths& current, const ColumnWidths& minimum,
                             int available);
