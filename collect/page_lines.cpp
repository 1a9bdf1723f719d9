#include "collect/page_lines.h"

#include <QFile>

#include "platform/ascii_text.h"

namespace collect {

QList<QByteArray> rawLines(const QByteArray& bytes)
{
    const QByteArrayView text(bytes.constData(), qsizetype(qstrnlen(bytes.constData(), bytes.size())));
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.append(text.sliced(start, end - start).toByteArray());
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

QList<QByteArray> readRawLines(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw PageError("Не удалось прочитать страницу " + fileName.toStdString() + ": " +
                        file.errorString().toStdString());
    return rawLines(file.readAll());
}

QList<QByteArray> joinLines(const QList<QByteArray>& rawLines)
{
    QList<QByteArray> logical;
    for (const QByteArray& raw : rawLines) {
        const QByteArrayView line = platform::trimmedControl(raw);
        if (line.isEmpty())
            continue;
        if (line.startsWith('<'))
            logical.append(line.toByteArray());
        else if (!logical.isEmpty())
            logical.last() += ' ' + line.toByteArray();
        else
            throw PageError("Страница не читается: её первая непустая строка не начинается с \"<\"");
    }
    return logical;
}

QByteArray pageText(const QList<QByteArray>& rawLines)
{
    QByteArray text;
    for (const QByteArray& line : rawLines)
        text += line + "\r\n";
    return text;
}

const QByteArray& lineAt(const QList<QByteArray>& lines, qsizetype index)
{
    if (index < 0 || index >= lines.size())
        throw PageError("Страница оборвана: нет строки " + std::to_string(index + 1) + " (строк на странице: " +
                        std::to_string(lines.size()) + ")");
    return lines[index];
}

} // namespace collect
