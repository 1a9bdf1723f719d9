#pragma once

// The steps that both collectors share.

#include <QByteArray>
#include <QList>

#include "platform/downloader.h"

namespace collect {

class CollectContext;
class PageFetcher;

// The raw lines of the page just downloaded to the scratch file. A page that did not arrive left
// no scratch file (PageFetcher::fetchPage): that is a PageError naming the address and the reason.
QList<QByteArray> readDownloadedPage(const PageFetcher& fetcher, const QByteArray& address,
                                     const platform::DownloadResult& download);

// Downloads the page and reads it as raw lines; see readDownloadedPage.
QList<QByteArray> downloadPage(const PageFetcher& fetcher, const QByteArray& address);

// Removes the scratch file once its page has been read, so that no page is taken twice.
void removeScratchFile(const PageFetcher& fetcher);

// When the page is the agency's login page, shows the login prompt for the address and answers
// true: the run then ends.
bool promptedForLogin(CollectContext& context, const QList<QByteArray>& rawLines, const QByteArray& address);

// The start of a run: clears the stop flag and the log, sets the bar to 0, then checks the month
// choice: false, after the error box "Не выбрано ни одного месяца", when no month is ticked.
bool startRun(CollectContext& context);

// The end of a run that went through: the bar at its maximum, "Обновлено!", the list refreshed.
void finishRun(CollectContext& context);

} // namespace collect
