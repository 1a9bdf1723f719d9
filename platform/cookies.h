#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// One browser cookie. expiry is in seconds since 1970; 0 is a session cookie.
struct Cookie
{
    QByteArray host; // a leading "." makes it a domain cookie that subdomains receive too
    QByteArray path;
    QByteArray name;
    QByteArray value;
    qint64 expiry = 0;
    bool secure = false;
    bool httpOnly = false;
};

// Whether a request to host receives cookies stored for cookieHost.
bool cookieHostMatches(const QByteArray& cookieHost, const QByteArray& host);

// Writes the cookies as a Netscape cookies.txt that libcurl reads, readable by the owner only.
// Cookies whose fields would break the file's tab-separated lines are left out. Throws
// std::runtime_error, with a message in Russian, when the file cannot be written.
void writeNetscapeCookieJar(const QString& fileName, const QList<Cookie>& cookies);

} // namespace platform
