#include <gtest/gtest.h>

#include "collect/collectors.h"
#include "collect/page_lines.h"
#include "data/fb_client.h"
#include "tests/collection/collection_fixture.h"
#include "tests/collection/page_server.h"
#include "tests/collection/recording_context.h"
#include "tools/agency-sim/calendar.h"

using namespace collection_tests;
using agencysim::Batch;
using collect::RunEnd;

namespace {

QByteArray idText(std::int64_t id)
{
    return QByteArray::number(qlonglong(id));
}

QByteArray monthOf(const Batch& batch)
{
    return QByteArray::fromStdString(agencysim::isoMonth(batch.date.year() / batch.date.month()));
}

class BatchesCollection : public CollectionTest
{
protected:
    void SetUp() override { startAgency(); }

    // The first batch (oldest first) of at least this many pictures.
    const Batch& batchWith(int pictures)
    {
        for (const Batch& batch : portfolio().batches())
            if (batch.approved >= pictures)
                return batch;
        throw std::logic_error("the portfolio has no batch that large");
    }

    std::vector<const Batch*> batchesOf(const QByteArray& month)
    {
        std::vector<const Batch*> batches;
        for (const Batch& batch : portfolio().batches())
            if (monthOf(batch) == month)
                batches.push_back(&batch);
        return batches;
    }

    // The stored row of each picture of the batch: title, keywords, acceptance date and batch.
    void expectStored(const Batch& batch)
    {
        for (const agencysim::Picture& picture : portfolio().batchPictures(batch))
            EXPECT_EQ(db.rows("select TITLE, KEYWORDS, ACCEPT_DATE, IDBATCH from PICTURES where ID = " +
                              idText(picture.id)),
                      std::vector<QByteArrayList>({{QByteArray::fromStdString(picture.title),
                                                    QByteArray::fromStdString(picture.keywords),
                                                    dottedDay(batch.date), idText(batch.id)}}))
                << picture.id;
    }

    RecordingContext context;
};

} // namespace

TEST_F(BatchesCollection, StoresThePicturesOfEveryBatchOfTheTickedMonths)
{
    const QByteArray month = monthOf(batchWith(21));
    context.months = {month};
    EXPECT_EQ(collect::collectBatches(context, fetcher(), dm()), RunEnd::Finished);

    const std::vector<const Batch*> taken = batchesOf(month);
    int pictures = 0;
    QList<QByteArray> dates;
    for (const Batch* batch : taken) {
        expectStored(*batch);
        pictures += batch->approved;
        dates.prepend(dottedDay(batch->date));
    }
    EXPECT_EQ(rowCount("PICTURES"), pictures);
    EXPECT_EQ(rowCount("PICTURES where IMAGE is not null"), pictures);
    EXPECT_EQ(context.dateLabels, dates);
    EXPECT_EQ(context.progressMax, portfolio().pictureCount());
    EXPECT_EQ(context.steps, qsizetype(taken.size()));
    EXPECT_EQ(context.progress, context.progressMax);
    EXPECT_EQ(context.information, QList<QString>{QStringLiteral(u"Обновлено!")});
    EXPECT_EQ(context.refreshes, 1);
    ASSERT_GE(context.log.size(), 3);
    EXPECT_EQ(context.log[1].text, "========================== View All " +
                                       QByteArray::number(portfolio().pictureCount()) +
                                       " Approved Photos ==========================");
    for (const RecordingContext::LogLine& line : context.log)
        EXPECT_TRUE(line.color == collect::LogGreen) << line.text.constData();
    const Batch& last = *taken.back();
    const agencysim::Picture first = portfolio().batchPictures(last).front();
    EXPECT_EQ(context.entryLines().value(0).text,
              dottedDay(last.date) + "  [" + idText(first.id) + "]  " + QByteArray::fromStdString(first.title));
}

TEST_F(BatchesCollection, AKnownPictureIsUpdatedKeepingImageFolderAndType)
{
    const Batch& batch = batchWith(1);
    const agencysim::Picture picture = portfolio().batchPictures(batch).front();
    db.execute("insert into PICTURES (ID, TITLE, IMAGE, IDFOLDER, \"TYPE\") values (" + idText(picture.id) +
               ", 'old title', 'old image', 1, 2)");
    context.months = {monthOf(batch)};
    collect::collectBatches(context, fetcher(), dm());
    expectStored(batch);
    EXPECT_EQ(db.rows("select cast(IMAGE as varchar(20)), IDFOLDER, \"TYPE\" from PICTURES where ID = " + idText(picture.id)),
              std::vector<QByteArrayList>({{"old image", "1", "2"}}));
}

TEST_F(BatchesCollection, TheBatchIsRebuiltFromItsPagesAndOtherBatchesAreLeftAlone)
{
    const Batch& batch = batchWith(1);
    const Batch& other = portfolio().batches().back();
    ASSERT_NE(monthOf(batch), monthOf(other));
    db.execute("insert into PICTURES (ID, TITLE, IDBATCH) values (999, 'dropped from the batch', " + idText(batch.id) + ")");
    db.execute("insert into PICTURES (ID, TITLE, IDBATCH) values (998, 'in another batch', " + idText(other.id) + ")");
    context.months = {monthOf(batch)};
    collect::collectBatches(context, fetcher(), dm());
    EXPECT_EQ(db.rows("select ID, IDBATCH from PICTURES where ID >= 998 and ID <= 999 order by ID"),
              std::vector<QByteArrayList>({{"998", idText(other.id)}, {"999", ""}}));
}

TEST_F(BatchesCollection, ALoginPageAmongTheBatchPagesShowsThePromptAndEndsTheRun)
{
    const Batch& batch = batchWith(21);
    startAgency(expiring(2)); // after the batches page and the batch's first page
    context.months = {monthOf(batch)};
    context.answer = true;
    std::vector<const Batch*> taken = batchesOf(monthOf(batch));
    EXPECT_EQ(collect::collectBatches(context, fetcher(), dm()), RunEnd::LoginPrompt);
    const Batch& first = *taken.back();
    EXPECT_EQ(context.questions.size(), 1);
    EXPECT_EQ(context.opened, QList<QByteArray>{QByteArray::fromStdString(agency().baseUrl()) +
                                                "/review_batch.mhtml?id=" + idText(first.id) + "&approved=1&type=photos"});
    EXPECT_EQ(rowCount("PICTURES"), std::min(first.approved, 20));
    EXPECT_TRUE(context.information.isEmpty());
    EXPECT_EQ(context.refreshes, 0);
}

TEST_F(BatchesCollection, ALoginPageInsteadOfTheBatchesPageShowsThePrompt)
{
    configureProgramDir(false);
    context.months = {"2008-03"};
    EXPECT_EQ(collect::collectBatches(context, fetcher(), dm()), RunEnd::LoginPrompt);
    EXPECT_EQ(context.questions.size(), 1);
    EXPECT_TRUE(context.opened.isEmpty());
    EXPECT_EQ(rowCount("PICTURES"), 0);
}

TEST_F(BatchesCollection, ABatchPageThatDoesNotArriveIsNeverTakenForAnother)
{
    const Batch& batch = batchWith(21);
    startAgency(failing("id=" + std::to_string(batch.id) + "&approved=1&type=photos&pg=2"));
    context.months = {monthOf(batch)};
    try {
        collect::collectBatches(context, fetcher(), dm());
        FAIL() << "the missing page went unnoticed";
    } catch (const collect::PageError& error) {
        EXPECT_NE(std::string(error.what()).find("pg=2"), std::string::npos) << error.what();
    }
    const std::vector<agencysim::Picture> second = portfolio().batchPage(batch, 2);
    EXPECT_EQ(rowCount("PICTURES where IDBATCH = " + idText(batch.id)), 20);
    EXPECT_EQ(rowCount("PICTURES where ID = " + idText(second.front().id)), 0);

    startAgency();
    EXPECT_EQ(collect::collectBatches(context, fetcher(), dm()), RunEnd::Finished);
    expectStored(batch);
}

TEST_F(BatchesCollection, CancelStopsAtTheNextLine)
{
    const Batch& batch = batchWith(21);
    context.months = {monthOf(batch)};
    context.onProcessMessages = [this] { context.stop = !context.entryLines().isEmpty(); };
    EXPECT_EQ(collect::collectBatches(context, fetcher(), dm()), RunEnd::Cancelled);
    EXPECT_EQ(rowCount("PICTURES"), 1);
    EXPECT_TRUE(context.information.isEmpty());
}

namespace {

std::string batchLine(const std::string& id, const std::string& date, const std::string& count)
{
    return "<tr>\n<td><a href=\"review_batch.mhtml?id=" + id + "&approved=1&type=photos\">" + id +
           "</a></td>\n<td align=center>Photos</td>\n<td align=center>" + count + "</td>\n<td align=center>" + date +
           "</td>\n<td align=center>" + count + "</td>\n</tr>\n";
}

std::string approvedPage(const std::string& batchLines)
{
    return "<html>\n<a href=\"review.mhtml?view=all\">View All 300\nApproved Photos</a>\n" + batchLines + "</html>\n";
}

std::string batchPage(std::initializer_list<int> ids)
{
    std::string page = "<html>\r\n";
    for (int id : ids) {
        const std::string text = std::to_string(id);
        page += "<tr>\r\n<td valign=\"top\" class=\"id\">\r\n<a href=\"pic.mhtml?id=" + text + "\" target=onsite>\r\n" +
                text + "\r\n</a>\r\n</td>\r\n<td valign=\"top\">\r\n<div class=\"thumb_image_container\">\r\n" +
                "<img src=\"http://127.0.0.1:1/x.jpg\" alt=\"stock photo : picture " + text +
                "\"\r\nborder=\"0\">\r\n</div>\r\n</td>\r\n<td valign=\"top\" style=\"font-size:10px\">\r\nsea, sky</td>\r\n</tr>\r\n";
    }
    return page + "</html>\r\n";
}

std::string pageAddress(const std::string& batchId, int page)
{
    return "/review_batch.mhtml?id=" + batchId + "&approved=1&type=photos&pg=" + std::to_string(page);
}

collect::PageFetcher fetcherFor(const PageServer& pages, const QString& appDir)
{
    const QByteArray base = QByteArray::fromStdString(pages.baseUrl());
    return collect::PageFetcher(appDir, collect::AgencySite(base, base, {}), {});
}

} // namespace

TEST_F(BatchesCollection, CountsAbove100AndBelow1AndNoNumber)
{
    std::map<std::string, std::string> pages = {
        {"/review.mhtml?approved=1&type=photos",
         approvedPage(batchLine("7", "05/21/2008", "101") + batchLine("8", "05/20/2008", "0") +
                      batchLine("9", "05/19/2008", "n/a"))},
        {pageAddress("9", 1), batchPage({901})}};
    for (int page = 1; page <= 6; ++page)
        pages[pageAddress("7", page)] = batchPage({700 + page});
    const PageServer server(pages);
    context.months = {"2008-05"};
    EXPECT_EQ(collect::collectBatches(context, fetcherFor(server, db.appDir()), dm()), RunEnd::Finished);
    EXPECT_EQ(db.rows("select ID, IDBATCH, ACCEPT_DATE from PICTURES order by ID"),
              std::vector<QByteArrayList>({{"701", "7", "21.05.2008"},
                                           {"702", "7", "21.05.2008"},
                                           {"703", "7", "21.05.2008"},
                                           {"704", "7", "21.05.2008"},
                                           {"705", "7", "21.05.2008"},
                                           {"706", "7", "21.05.2008"},
                                           {"901", "9", "19.05.2008"}}));
    EXPECT_EQ(context.steps, 3);
}

// Batch 7 (41 pictures, 3 pages) has an empty middle page; batch 8 claims an absurd count, and its walk
// stops at the 15 pages that the approved total of 300 fills.
TEST_F(BatchesCollection, EveryPageUpToTheCountIsWalkedAndAnAbsurdCountStopsAtTheApprovedTotal)
{
    std::map<std::string, std::string> pages = {
        {"/review.mhtml?approved=1&type=photos",
         approvedPage(batchLine("7", "05/21/2008", "41") + batchLine("8", "05/20/2008", "999999999999999999"))},
        {pageAddress("7", 1), batchPage({701})},
        {pageAddress("7", 2), batchPage({})},
        {pageAddress("7", 3), batchPage({703})}};
    for (int page = 1; page <= 16; ++page)
        pages[pageAddress("8", page)] = page == 1 || page >= 15 ? batchPage({800 + page}) : batchPage({});
    const PageServer server(pages);
    context.months = {"2008-05"};
    EXPECT_EQ(collect::collectBatches(context, fetcherFor(server, db.appDir()), dm()), RunEnd::Finished);
    EXPECT_EQ(db.rows("select ID, IDBATCH from PICTURES order by ID"),
              std::vector<QByteArrayList>({{"701", "7"}, {"703", "7"}, {"801", "8"}, {"815", "8"}}));
}

TEST_F(BatchesCollection, AHostileBatchIdOrDateEndsTheRunBeforeTheBatchIsReleased)
{
    db.execute("insert into PICTURES (ID, TITLE, IDBATCH) values (500, 'kept', 7)");
    for (const std::string& line : {batchLine("7 or 1=1", "05/21/2008", "1"), batchLine("", "05/21/2008", "1"),
                                    batchLine("7", "05/xx/2008", "1")}) {
        SCOPED_TRACE(line);
        const PageServer server({{"/review.mhtml?approved=1&type=photos", approvedPage(line)}});
        context.months = {"2008-05"};
        EXPECT_THROW(collect::collectBatches(context, fetcherFor(server, db.appDir()), dm()), data::DbError);
        EXPECT_EQ(db.rows("select IDBATCH from PICTURES where ID = 500"), std::vector<QByteArrayList>{{"7"}});
    }
}

TEST_F(BatchesCollection, AHostilePictureIdEndsTheRunAfterThePicturesBeforeIt)
{
    std::string page = batchPage({701});
    page.replace(page.find("\r\n701\r\n"), 7, "\r\n1 or 1=1\r\n");
    const PageServer server({{"/review.mhtml?approved=1&type=photos", approvedPage(batchLine("7", "05/21/2008", "2"))},
                             {pageAddress("7", 1), batchPage({700}) + page}});
    context.months = {"2008-05"};
    EXPECT_THROW(collect::collectBatches(context, fetcherFor(server, db.appDir()), dm()), data::DbError);
    EXPECT_EQ(db.rows("select ID, IDBATCH from PICTURES"), std::vector<QByteArrayList>({{"700", "7"}}));
}
