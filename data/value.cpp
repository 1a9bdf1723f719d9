#include "data/value.h"

#include <cmath>

namespace data {

std::int64_t Value::asInt64() const
{
    if (auto p = std::get_if<std::int64_t>(&v_))
        return *p;
    if (auto p = std::get_if<double>(&v_))
        return static_cast<std::int64_t>(std::nearbyint(*p));
    if (auto p = std::get_if<QByteArray>(&v_))
        return p->trimmed().toLongLong();
    return 0;
}

double Value::asDouble() const
{
    if (auto p = std::get_if<double>(&v_))
        return *p;
    if (auto p = std::get_if<std::int64_t>(&v_))
        return static_cast<double>(*p);
    return 0.0;
}

QDate Value::asDate() const
{
    if (auto p = std::get_if<QDate>(&v_))
        return *p;
    return {};
}

QByteArray Value::asText() const
{
    if (auto p = std::get_if<QByteArray>(&v_))
        return *p;
    if (auto p = std::get_if<std::int64_t>(&v_))
        return QByteArray::number(static_cast<qlonglong>(*p));
    if (auto p = std::get_if<double>(&v_))
        return QByteArray::number(*p, 'g', 15);
    if (auto p = std::get_if<QDate>(&v_))
        return formatDate(*p);
    return {};
}

QByteArray formatDate(QDate date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy")).toLatin1();
}

} // namespace data
