#include "data/ids.h"

#include <algorithm>

#include "data/fb_client.h"

namespace data {

bool isDecimalId(const QByteArray& text)
{
    return !text.isEmpty() && text.size() <= 18 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const QByteArray& requireDecimalId(const QByteArray& text, const char* what)
{
    if (!isDecimalId(text))
        throw DbError(std::string(what) + " \"" + text.left(40).toStdString() +
                      "\" не является целым десятичным числом");
    return text;
}

} // namespace data
