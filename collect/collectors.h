#pragma once

#include <QByteArray>
#include <QList>

namespace data {
class Tdm;
} // namespace data

namespace collect {

class CollectContext;
class PageFetcher;

// How a collection run ended. An error ends a run by an exception instead; what was stored before
// it stays stored.
enum class RunEnd
{
    Finished,    // "Обновлено!" shown and the picture list refreshed
    NoMonth,     // no month ticked: said in an error box, nothing downloaded
    Cancelled,   // the stop flag was seen
    LoginPrompt, // a page asked for the login: the prompt was shown
};

// The daily sales collection: for every ticked month, the days with downloads of its month page
// (only the ticked days, when any are ticked), each day page's entries stored as sales of their kind.
RunEnd collectSales(CollectContext& context, const PageFetcher& fetcher, data::Tdm& dm);

// The daily sales collection of these days (yyyy-mm-dd) alone: the ticked months' pages are read and
// only the listed days among these are read. The ticked days do not count.
RunEnd collectDays(CollectContext& context, const PageFetcher& fetcher, data::Tdm& dm,
                   const QList<QByteArray>& days);

// The approved batches collection: every batch of a ticked month is released and rebuilt from its
// pages, its pictures inserted or updated with title, keywords, acceptance date and batch.
RunEnd collectBatches(CollectContext& context, const PageFetcher& fetcher, data::Tdm& dm);

} // namespace collect
