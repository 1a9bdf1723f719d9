#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace collect {

class CollectContext;

// A page that contains "login.mhtml" (exact case) is the agency's login page: the browser's login is
// missing or has expired.
bool isLoginPage(QByteArrayView pageText);

// What the start page downloaded by the opening check says about the login.
enum class StartPageSign
{
    LoginRequired, // a login page
    LoggedIn,      // no login page, but the statistics link "stats.mhtml" (exact case) is there
    Unknown,       // neither
};
StartPageSign startPageSign(QByteArrayView pageText);

// Asks the user to log in to the agency in the browser and, on Yes, opens the address there.
// Returns whether the user answered Yes.
bool showLoginPrompt(CollectContext& context, const QByteArray& address);

} // namespace collect
