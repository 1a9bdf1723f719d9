#pragma once

#include <QDate>
#include <QStringList>

// The rows of the collection window's two choice lists.
namespace collect {

// The separator row that stands before every December of the month list; it cannot be ticked.
inline const QString MonthSeparator = QStringLiteral("--------------");

// The month list on the given day: the current month first, then every earlier month down to
// 2004-01, each written yyyy-mm, with the separator before every December.
QStringList monthListRows(QDate today);

// The day list: "31" down to "01".
QStringList dayListRows();

} // namespace collect
