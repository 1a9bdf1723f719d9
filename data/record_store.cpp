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

Tdm::StoredEntry Tdm::lookUpEntry(std::int64_t pictureId, QDate date)
{
    // One row whatever is stored (RDB$DATABASE has one, the keys are unique), so it is read in one
    // exchange with the engine.
    Firebird::ITransaction* transaction = Transaction.handle();
    const Row row = entryLookup_
                        .prepare(IBDatabase1, transaction,
                                 "select P.ID, S.ID, S.\"COUNT\", S.\"SUM\", S.ON_DEMAND, S.ENHANCED "
                                 "from RDB$DATABASE left join PICTURES P on P.ID = ? "
                                 "left join SALES S on S.IDPICTURE = ? and S.SALE_DATE = ?")
                        .selectOne(transaction,
                                   {Value::integer(pictureId), Value::integer(pictureId), Value::date(date)});
    return {!row[0].isNull(), row[1], {row[2], row[3], row[4], row[5]}};
}

void Tdm::writeSale(std::int64_t pictureId, QDate date, const StoredEntry& entry, const SaleAmounts& amounts)
{
    Firebird::ITransaction* transaction = Transaction.handle();
    if (entry.saleId.isNull()) {
        saleInsert_
            .prepare(IBDatabase1, transaction,
                     "INSERT INTO SALES (ID, IDPICTURE, \"COUNT\", \"SUM\", ON_DEMAND, ENHANCED, SALE_DATE) "
                     "VALUES (GEN_ID(GEN_SALES_ID, 1), ?, ?, ?, ?, ?, ?)")
            .execute(transaction, {Value::integer(pictureId), amounts.count, amounts.sum, amounts.onDemand,
                                   amounts.enhanced, Value::date(date)});
    } else if (amounts != entry.amounts) {
        // A day stored again as it is is not written: the update would only add a record version and
        // page writes.
        saleUpdate_
            .prepare(IBDatabase1, transaction,
                     "UPDATE SALES SET \"COUNT\" = ?, \"SUM\" = ?, ON_DEMAND = ?, ENHANCED = ? WHERE ID = ?")
            .execute(transaction,
                     {amounts.count, amounts.sum, amounts.onDemand, amounts.enhanced, entry.saleId});
    }
}

void Tdm::storeSaleOnce(const QByteArray& pictureId, const QByteArray& title, std::int64_t downloads,
                        const QByteArray& moneyText, const QByteArray& date, int kind)
{
    Transaction.commitIfActive();
    const std::int64_t picture = parseWholeNumber(pictureId);
    const QDate day = parseDate(date);
    StoredEntry entry = lookUpEntry(picture, day);
    if (!entry.pictureStored) {
        // InsertPicture commits: the day is read again in the transaction that will write it.
        InsertPicture(pictureId, title, {}, {}, {});
        entry = lookUpEntry(picture, day);
    }
    SaleAmounts amounts = entry.amounts;
    const Value& stored = entry.amounts.count;
    const Value money = Value::real(parseDecimalComma(moneyText));
    switch (kind) {
    case Regular:
        amounts.count = Value::integer(downloads);
        amounts.sum = money;
        rememberCountWritten(pictureId, date);
        break;
    case OnDemand:
        amounts.count = Value::integer(
            stored.isNull() || entry.amounts.sum.isNull() ? downloads : stored.asInt64() + downloads);
        amounts.onDemand = money;
        rememberCountWritten(pictureId, date);
        break;
    case Enhanced:
        amounts.count = Value::integer(!stored.isNull() && countWrittenThisCollection(pictureId, date)
                                           ? stored.asInt64() + downloads
                                           : downloads);
        amounts.enhanced = money;
        break;
    }
    writeSale(picture, day, entry, amounts);
}

} // namespace data
