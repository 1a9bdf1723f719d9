#pragma once

#include <QByteArray>
#include <QDate>
#include <QStringList>
#include <QtGlobal>

#include <optional>

namespace data {
class Query;
} // namespace data

namespace browser {

// One token of a DIAGRAM text: a day with its downloads, a gap of days without downloads, or an empty
// token (kept so that the tokens keep their numbers, skipped wherever the list is read).
struct DiagramToken
{
    enum class Kind { Empty, Day, Gap };
    Kind kind = Kind::Empty;
    // Downloads of a day, or the days of a gap.
    qint64 value = 0;
};

// Splits a DIAGRAM text into its numbered tokens: every "#" opens a new item, every "," ends one, and
// empty tokens stay in place (so "#12,3" gives an empty token 0 and the gap as token 1).
QStringList splitDiagramText(const QString& text);

// Reads one token. A token whose number is not a whole number is an error (std::runtime_error) naming it.
DiagramToken readDiagramToken(const QString& token);

// The statement that asks the DIAGRAM procedure for one picture's days in the period.
QByteArray diagramStatement(qint64 pictureId, QDate from, QDate till);

// Runs that statement on the query, whose previous content is discarded, and reads the text of its
// first row; no value when the procedure returns no row.
std::optional<QString> readDiagramText(data::Query& query, qint64 pictureId, QDate from, QDate till);

// The token number of a leading gap: the run of days without downloads before the first day reported.
constexpr int LeadingGapToken = 1;

} // namespace browser
