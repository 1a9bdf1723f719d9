#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Byte-text helpers that fold only the ASCII letters A-Z/a-z: page and settings texts are
// Windows-1251 bytes, whose other characters are compared as they are.
namespace platform {

constexpr char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoreAsciiCase(QByteArrayView a, QByteArrayView b);

// Position of the first occurrence of needle in text at or after from, or -1. An empty needle
// occurs at from.
qsizetype indexOfIgnoreAsciiCase(QByteArrayView text, QByteArrayView needle, qsizetype from = 0);

inline bool containsIgnoreAsciiCase(QByteArrayView text, QByteArrayView needle)
{
    return indexOfIgnoreAsciiCase(text, needle) >= 0;
}

// The text without its leading and trailing characters of codes 0 to 32 (blanks and control
// characters).
QByteArrayView trimmedControl(QByteArrayView text);

} // namespace platform
