#include "ListColumns.h"

#include "LangText.h"

#include <QHeaderView>
#include <QStyleOptionHeader>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The fixed-width texts a column may hold; '0' stands for any digit.
QStringList fixedTexts(int column)
{
    switch (column) {
    case LoggerList::ColSerial:
        return {QStringLiteral("00000000")};
    case LoggerList::ColGridRef:
        return {QStringLiteral("00000000"), QStringLiteral("________")};
    case LoggerList::ColDeployed:
    case LoggerList::ColDate:
        return {QStringLiteral("0000/00/00")};
    case LoggerList::ColReceived: // a date, or the time of a handheld import
        return {QStringLiteral("0000/00/00"), QStringLiteral("00:00:00")};
    case LoggerList::ColStatus:
        return {LangText(184), LangText(185), LangText(186)};
    case LoggerList::ColLevel:
    case LoggerList::ColSpread:
        return {QStringLiteral("00")};
    default:
        return {};
    }
}

QChar widestDigit(const QFontMetrics& metrics)
{
    QChar widest = QLatin1Char('0');
    for (char d = '1'; d <= '9'; ++d)
        if (metrics.horizontalAdvance(QLatin1Char(d)) > metrics.horizontalAdvance(widest))
            widest = QLatin1Char(d);
    return widest;
}

// The header drawn whole, also once it carries the sort mark: the label the
// style leaves beside the mark must hold the text in bold (a highlighted
// section is drawn bold), with the few pixels it keeps clear.
int headerWidth(const QHeaderView* header, int column, const QString& text)
{
    QStyleOptionHeader option;
    option.initFrom(header);
    option.state |= QStyle::State_Horizontal;
    option.orientation = Qt::Horizontal;
    option.section = column;
    option.text = text;
    option.sortIndicator = QStyleOptionHeader::SortDown;
    const int probe = 1000;
    option.rect = QRect(0, 0, probe, header->sizeHint().height());
    const int label =
        header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header).width();
    QFont bold = header->font();
    bold.setBold(true);
    const int needed = probe - label + QFontMetrics(bold).horizontalAdvance(text) + 4;
    return std::max(needed, header->sectionSizeHint(column));
}

} // namespace

int MinimumColumnWidth(const QTreeView* view, int column, const QString& header)
{
    int least = headerWidth(view->header(), column, header);
    const QFontMetrics metrics = view->fontMetrics();
    const QChar digit = widestDigit(metrics);
    // The margins the list keeps either side of a cell's text, and a pixel
    // for the rounding of the text's own width.
    const int margins =
        2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) + 1;
    for (QString text : fixedTexts(column))
        least = std::max(least, metrics.horizontalAdvance(text.replace(QLatin1Char('0'), digit)) +
                                    margins);
    return least;
}

ColumnWidths FitColumnWidths(const ColumnWidths& current, const ColumnWidths& minimum,
                             int available)
{
    // Shares of serial to date, and the fixed widths (twips) of status to spread.
    const double shares[7] = {1.0 / 10, 1.0 / 7, 1.0 / 11, 1.0 / 11, 1.0 / 8, 1.0 / 8, 1.0 / 10};
    const double fixedTwips[3] = {400, 700, 700};
    ColumnWidths width{};
    for (int c = 0; c < 7; ++c)
        if (current[c] > 0)
            width[c] = std::max(static_cast<int>(std::lround(shares[c] * available)), minimum[c]);
    for (int c = 7; c < 10; ++c)
        width[c] = std::max(TwipsToPixels(fixedTwips[c - 7]), minimum[c]);
    const int comments = LoggerList::ColUserComments;
    if (current[comments] > 0)
        width[comments] = minimum[comments];

    int spare = available - std::accumulate(width.begin(), width.end(), 0);
    if (spare > 0 && current[comments] > 0) {
        width[comments] += spare;
        return width;
    }
    // Too wide: serial to date give up what they have above their minimums,
    // each in proportion; too narrow without a user comment to take the
    // rest: they share it in proportion to their widths.
    int room = 0;
    for (int c = 0; c < 7; ++c)
        room += spare < 0 ? width[c] - minimum[c] : width[c];
    if (room <= 0)
        return width;
    const int change = spare < 0 ? std::max(spare, -room) : spare;
    int given = 0;
    for (int c = 0; c < 7; ++c) {
        const int part = spare < 0 ? width[c] - minimum[c] : width[c];
        const int step = static_cast<int>(static_cast<long long>(change) * part / room);
        width[c] += step;
        given += step;
    }
    // What the rounding left over, a pixel to each column that can take it.
    for (int c = 0; c < 7 && given != change; ++c) {
        const int step = change > given ? 1 : -1;
        if (width[c] > 0 && width[c] + step >= minimum[c]) {
            width[c] += step;
            given += step;
        }
    }
    return width;
}
