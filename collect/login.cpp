#include "collect/login.h"

#include "collect/collect_context.h"

namespace collect {

bool isLoginPage(QByteArrayView pageText)
{
    return pageText.contains("login.mhtml");
}

StartPageSign startPageSign(QByteArrayView pageText)
{
    if (isLoginPage(pageText))
        return StartPageSign::LoginRequired;
    return pageText.contains("stats.mhtml") ? StartPageSign::LoggedIn : StartPageSign::Unknown;
}

bool showLoginPrompt(CollectContext& context, const QByteArray& address)
{
    const bool yes = context.askYesNo(
        QStringLiteral(u"Ошибка"),
        QStringLiteral(u"Необходимо в браузере войти в свой аккаунт на фотобанке.\n\r"
                       u"Вы можете запустить браузер сами или запустить его из этой программы.\n\r"
                       u"Запустить браузер?"));
    if (yes)
        context.openUrl(address);
    return yes;
}

} // namespace collect
