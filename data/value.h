#pragma once

#include <QByteArray>
#include <QDate>

#include <cstdint>
#include <variant>

#include <firebird/Interface.h>

namespace data {

// A blob column as the engine hands it out: read on demand while its result is open.
struct BlobId
{
    ISC_QUAD quad{};

    friend bool operator==(const BlobId& a, const BlobId& b)
    {
        return a.quad.gds_quad_high == b.quad.gds_quad_high && a.quad.gds_quad_low == b.quad.gds_quad_low;
    }
};

// One column value of a fetched row. Texts are the database's WIN1251 bytes, unconverted.
class Value
{
public:
    Value() = default;
    static Value integer(std::int64_t v) { return Value(v); }
    static Value real(double v) { return Value(v); }
    static Value date(QDate v) { return Value(v); }
    static Value text(QByteArray v) { return Value(std::move(v)); }
    static Value blob(BlobId v) { return Value(v); }

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isBlob() const { return std::holds_alternative<BlobId>(v_); }
    bool isBytes() const { return std::holds_alternative<QByteArray>(v_); }

    // Null reads as 0, as an empty text or as an invalid date.
    std::int64_t asInt64() const;
    std::int32_t asInt32() const { return static_cast<std::int32_t>(asInt64()); }
    double asDouble() const;
    QDate asDate() const;
    // Numbers in decimal, dates as dd.mm.yyyy, texts as they are.
    QByteArray asText() const;
    const BlobId& blobId() const { return std::get<BlobId>(v_); }

    // Same kind and same value; null equals only null.
    friend bool operator==(const Value& a, const Value& b) = default;

private:
    template <typename T> explicit Value(T v) : v_(std::move(v)) {}
    std::variant<std::monostate, std::int64_t, double, QDate, QByteArray, BlobId> v_;
};

// "dd.mm.yyyy", as every date literal of the program is written.
QByteArray formatDate(QDate date);

} // namespace data
