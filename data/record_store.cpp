// The record store: the operations through which the collectors write pictures and sales.

#include <QFile>

#include "data/dm.h"
#include "data/ids.h"
#include "data/sql_text.h"

namespace data {

namespace {

constexpr int TitleCapacity = 500;
constexpr int KeywordsCapacity = 1000;

enum SaleKind { Regular = 0, OnDemand = 1, Enhanced = 2 };

// yyyy-mm-dd to dd.mm.yyyy, by character positions; the result must be a real date, since it is
// written into a statement as a literal.
QByteArray saleDateToDb(const QByteArray& saleDate)
{
    const QByteArray converted = saleDate.mid(8, 2) + '.' + saleDate.mid(5, 2) + '.' + saleDate.mid(0, 4);
    if (!parseDate(converted).isValid() || converted.size() != 10)
        throw DbError("Дата продажи \"" + saleDate.left(40).toStdString() + "\" не читается");
    return converted;
}

QByteArray requireDate(const QByteArray& text)
{
    parseDate(text);
    return text;
}

} // namespace

QString Tdm::previewPath(const QByteArray& pictureId) const
{
    requireDecimalId(pictureId, "Номер изображения");
    return appDir_ + QStringLiteral("/PREVIEW/") + QString::fromLatin1(pictureId) + QStringLiteral(".jpg");
}

void Tdm::InsertPicture(const QByteArray& pictureId, const QByteArray& title, const QByteArray& acceptDate,
                        const QByteArray& keywords, const QByteArray& batchId)
{
    const QString preview = previewPath(pictureId); // refuses a picture id that is not a whole number
    if (!batchId.isEmpty())
        requireDecimalId(batchId, "Номер пакета");
    Transaction.commitIfActive();
    tbPictures.open();
    tbPictures.insert();
    tbPictures.setFieldText("ID", pictureId);
    tbPictures.setFieldText("TITLE", title);
    if (!acceptDate.isEmpty())
        tbPictures.setFieldText("ACCEPT_DATE", acceptDate);
    if (!keywords.isEmpty())
        tbPictures.setFieldText("KEYWORDS", keywords);
    if (!batchId.isEmpty())
        tbPictures.setFieldText("IDBATCH", batchId);
    if (QFile::exists(preview))
        tbPictures.setFieldFromFile("IMAGE", preview);
    tbPictures.post();
    Transaction.commit();
}

void Tdm::UpdatePicture(const QByteArray& pictureId, const QByteArray& title, const QByteArray& acceptDate,
                        const QByteArray& keywords, const QByteArray& batchId)
{
    if (acceptDate.isEmpty())
        return;
    requireDecimalId(pictureId, "Номер изображения");
    if (!batchId.isEmpty())
        requireDecimalId(batchId, "Номер пакета");
    requireDate(acceptDate);
    // Cut to the columns' capacity as an insert does, so that a long title never fails the update.
    const QByteArray firstLine = "update PICTURES set ACCEPT_DATE = '" + acceptDate + "', " + "TITLE = '" +
                                 doubledQuotes(title.left(TitleCapacity)) + "', " + "KEYWORDS = '" +
                                 doubledQuotes(keywords.left(KeywordsCapacity)) + "', ";
    const QByteArray batchAssignment = batchId.isEmpty() ? QByteArray("IDBATCH = NULL ")
                                                         : QByteArray("IDBATCH = '" + batchId + "' ");
    const QByteArray secondLine = batchAssignment + " where ID = " + pictureId;
    // A new acceptance month moves the picture's sales between roll-up rows that another process's
    // stored sales may change at the same moment: the update is then done again over what it committed.
    Transaction.commitIfActive();
    try {
        retryOnConcurrentChange(Transaction, [&] {
            qrExecute.setText(firstLine + "\n" + secondLine);
            qrExecute.execute();
            Transaction.commit();
        });
    } catch (const DbError& e) {
        if (!e.concurrentChange())
            throw;
        throw DbError("Изображение " + pictureId.toStdString() +
                      " не записано: другой процесс одновременно записывает его продажи. Запустите сбор ещё раз (" +
                      e.what() + ")");
    }
}

bool Tdm::countWrittenThisCollection(const QByteArray& pictureId, const QByteArray& date) const
{
    return date == countedDate_ && countedIds_.contains(pictureId);
}

void Tdm::rememberCountWritten(const QByteArray& pictureId, const QByteArray& date)
{
    if (date != countedDate_) {
        countedDate_ = date;
        countedIds_.clear();
    }
    countedIds_.insert(pictureId);
}

void Tdm::StoreSale(const QByteArray& pictureId, const QByteArray& title, const QByteArray& count,
                    const QByteArray& money, const QByteArray& saleDate, int kind)
{
    requireDecimalId(pictureId, "Номер изображения");
    const QByteArray date = saleDateToDb(saleDate);
    const QByteArray moneyText = moneyToField(money);
    const std::int64_t downloads = parseWholeNumber(count);
    if (kind < Regular || kind > Enhanced)
        throw DbError("Неизвестный вид продажи " + std::to_string(kind));

    // Another process storing the same picture or day at the same moment makes the post fail rather
    // than leave a roll-up without its rows. The transaction then holds nothing but this entry, so it
    // is undone and the entry stored again over what the other process committed.
    try {
        retryOnConcurrentChange(Transaction, [&] { storeSaleOnce(pictureId, title, downloads, moneyText, date, kind); });
    } catch (const DbError& e) {
        if (!e.concurrentChange())
            throw;
        throw DbError("Продажа изображения " + pictureId.toStdString() + " за " + date.toStdString() +
                      " не записана: другой процесс одновременно записывает те же продажи. Запустите "
                      "сбор ещё раз (" + e.what() + ")");
    }
}

void Tdm::storeSaleOnce(const QByteArray& pictureId, const QByteArray& title, std::int64_t downloads,
                        const QByteArray& moneyText, const QByteArray& date, int kind)
{
    Transaction.commitIfActive();
    qrExecute.setText("select ID from PICTURES where ID=" + pictureId);
    qrExecute.open();
    if (qrExecute.eof())
        InsertPicture(pictureId, title, {}, {}, {});
    // The sale is looked up in the transaction of the picture check (InsertPicture commits its own):
    // committing a transaction that has only read would cost synchronous page writes at every entry,
    // about half of what storing a day again writes, and change nothing anyone can see.

    qrExecute2.setText("select ID from SALES where IDPICTURE=" + pictureId + " and SALE_DATE='" + date + "'");
    qrExecute2.open();
    tbSales.open();
    if (!qrExecute2.eof() &&
        tbSales.locate("IDPICTURE", "SALE_DATE", Value::integer(parseWholeNumber(pictureId)),
                       Value::date(parseDate(date)))) {
        tbSales.edit();
    } else {
        tbSales.insert();
        tbSales.setFieldText("IDPICTURE", pictureId);
        tbSales.setFieldText("SALE_DATE", date);
    }

    const Value& stored = tbSales.field("COUNT");
    const auto countText = [](std::int64_t n) { return QByteArray::number(static_cast<qlonglong>(n)); };
    switch (kind) {
    case Regular:
        tbSales.setFieldText("COUNT", countText(downloads));
        tbSales.setFieldText("SUM", moneyText);
        rememberCountWritten(pictureId, date);
        break;
    case OnDemand:
        tbSales.setFieldText("COUNT", countText(stored.isNull() || tbSales.field("SUM").isNull()
                                                    ? downloads
                                                    : stored.asInt64() + downloads));
        tbSales.setFieldText("ON_DEMAND", moneyText);
        rememberCountWritten(pictureId, date);
        break;
    case Enhanced:
        tbSales.setFieldText("COUNT", countText(!stored.isNull() && countWrittenThisCollection(pictureId, date)
                                                    ? stored.asInt64() + downloads
                                                    : downloads));
        tbSales.setFieldText("ENHANCED", moneyText);
        break;
    }
    tbSales.post();
}

} // namespace data
