#include "platform/downloader.h"

#include <memory>
#include <mutex>

#include <QFile>
#include <QSaveFile>

#include <curl/curl.h>

namespace platform {
namespace {

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;

size_t writeToFile(char* data, size_t size, size_t count, void* file)
{
    const qint64 length = qint64(size * count);
    return static_cast<QSaveFile*>(file)->write(data, length) == length ? size * count : 0;
}

// Only web addresses: a page cannot make a preview address or a redirect read a local file.
void configure(CURL* curl, const QByteArray& address, const DownloadOptions& options, QSaveFile& file,
               char* errorBuffer)
{
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(options.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(options.totalTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_COOKIEFILE, QFile::encodeName(options.cookieFile).constData());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &file);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
}

DownloadResult failure(std::string error)
{
    return {false, std::move(error)};
}

} // namespace

Downloader::Downloader(DownloadOptions options) : options_(std::move(options))
{
    initCurlOnce();
}

DownloadResult Downloader::download(const QByteArray& address, const QString& targetFile) const
{
    QSaveFile file(targetFile);
    if (!file.open(QIODevice::WriteOnly))
        return failure("cannot write " + targetFile.toStdString() + ": " + file.errorString().toStdString());
    const CurlHandle curl(curl_easy_init());
    if (!curl)
        return failure("cannot start a download");

    char errorBuffer[CURL_ERROR_SIZE] = {};
    configure(curl.get(), address, options_, file, errorBuffer);
    const CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK)
        return failure(address.toStdString() + ": " + (*errorBuffer ? errorBuffer : curl_easy_strerror(code)));

    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299)
        return failure(address.toStdString() + ": HTTP " + std::to_string(status));
    if (!file.commit())
        return failure("cannot write " + targetFile.toStdString() + ": " + file.errorString().toStdString());
    return {true, {}};
}

} // namespace platform
