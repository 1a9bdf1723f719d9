#include "platform/cookies.h"

#include <stdexcept>

#include <QSaveFile>

#include "platform/ascii_text.h"

namespace platform {
namespace {

bool fitsOnALine(const QByteArray& field)
{
    return !field.contains('\t') && !field.contains('\n') && !field.contains('\r');
}

bool fitsTheJar(const Cookie& cookie)
{
    return !cookie.host.isEmpty() && !cookie.name.isEmpty() && fitsOnALine(cookie.host) &&
           fitsOnALine(cookie.path) && fitsOnALine(cookie.name) && fitsOnALine(cookie.value);
}

QByteArray flag(bool value)
{
    return value ? "TRUE" : "FALSE";
}

QByteArray jarLine(const Cookie& cookie)
{
    const QByteArray domain = (cookie.httpOnly ? "#HttpOnly_" : "") + cookie.host;
    const QList<QByteArray> fields{domain,       flag(cookie.host.startsWith('.')),
                                   cookie.path.isEmpty() ? "/" : cookie.path,
                                   flag(cookie.secure), QByteArray::number(cookie.expiry),
                                   cookie.name, cookie.value};
    return fields.join('\t') + '\n';
}

} // namespace

bool cookieHostMatches(const QByteArray& cookieHost, const QByteArray& host)
{
    const QByteArray domain = cookieHost.startsWith('.') ? cookieHost.mid(1) : cookieHost;
    if (equalsIgnoreAsciiCase(domain, host))
        return true;
    const qsizetype dot = host.size() - domain.size() - 1;
    return cookieHost.startsWith('.') && dot > 0 && host[dot] == '.' &&
           equalsIgnoreAsciiCase(host.sliced(dot + 1), domain);
}

void writeNetscapeCookieJar(const QString& fileName, const QList<Cookie>& cookies)
{
    QByteArray text = "# Netscape HTTP Cookie File\n";
    for (const Cookie& cookie : cookies)
        if (fitsTheJar(cookie))
            text += jarLine(cookie);
    QSaveFile file(fileName);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                         file.write(text) == text.size() && file.commit();
    if (!written)
        throw std::runtime_error("Не удалось записать файл cookies " + fileName.toStdString());
}

} // namespace platform
