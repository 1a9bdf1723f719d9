#include "platform/spreadsheet_text.h"

#include <QDir>
#include <QSaveFile>

#include <stdexcept>

namespace platform {

namespace {

QString quoted(const QString& field, QLatin1Char separator)
{
    const bool needsQuotes = field.contains(separator) || field.contains(QLatin1Char('"')) ||
                             field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'));
    if (!needsQuotes)
        return field;
    return QLatin1Char('"') + QString(field).replace(QLatin1String("\""), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

[[noreturn]] void fileNotWritten(const QString& path, const QString& reason)
{
    throw std::runtime_error(
        QStringLiteral("Файл не записан: %1 (%2)").arg(QDir::toNativeSeparators(path), reason).toStdString());
}

} // namespace

QString sheetLine(SheetForm form, const QStringList& fields)
{
    const bool csv = form == SheetForm::Csv;
    const QLatin1Char separator(csv ? ';' : '\t');
    QString text;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += separator;
        text += quoted(fields[i], separator);
    }
    return text + QLatin1String(csv ? "\r\n" : "\n");
}

QString sheetText(const QString& text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    const bool looksLikeFormula = !text.isEmpty() && formulaStarts.contains(text.front());
    return looksLikeFormula ? QLatin1Char('\'') + text : text;
}

QString decimalComma(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

void saveWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fileNotWritten(path, file.errorString());
    if (!write(file) || !file.commit())
        fileNotWritten(path, file.errorString());
}

} // namespace platform
