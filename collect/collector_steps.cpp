#include "collect/collector_steps.h"

#include <QFile>

#include "collect/collect_context.h"
#include "collect/login.h"
#include "collect/page_fetcher.h"
#include "collect/page_lines.h"

namespace collect {

QList<QByteArray> readDownloadedPage(const PageFetcher& fetcher, const QByteArray& address,
                                     const platform::DownloadResult& download)
{
    if (!QFile::exists(fetcher.scratchFile()))
        throw PageError("Страница не получена: " + address.toStdString() +
                        (download.error.empty() ? std::string() : " (" + download.error + ")"));
    return readRawLines(fetcher.scratchFile());
}

QList<QByteArray> downloadPage(const PageFetcher& fetcher, const QByteArray& address)
{
    return readDownloadedPage(fetcher, address, fetcher.fetchPage(address));
}

void removeScratchFile(const PageFetcher& fetcher)
{
    QFile::remove(fetcher.scratchFile());
}

bool promptedForLogin(CollectContext& context, const QList<QByteArray>& rawLines, const QByteArray& address)
{
    if (!isLoginPage(pageText(rawLines)))
        return false;
    showLoginPrompt(context, address);
    return true;
}

bool startRun(CollectContext& context)
{
    context.clearStopRequest();
    context.clearLog();
    context.setProgressPosition(0);
    if (!context.tickedMonths().isEmpty())
        return true;
    context.showError(QStringLiteral(u"Не выбрано ни одного месяца"));
    return false;
}

void finishRun(CollectContext& context)
{
    context.setProgressPosition(context.progressMaximum());
    context.showInformation(QStringLiteral(u"Обновлено!"));
    context.refreshPictureList();
}

} // namespace collect
