#include "tools/agency-sim/pages.h"

#include "tools/agency-sim/texts.h"

#include <string_view>

namespace agencysim {

namespace {

// A page built raw line by raw line.
class Html
{
public:
    // expectedSize: a generous guess of the page's length, so that a big page is not copied while it grows.
    explicit Html(std::string_view lineEnd, std::size_t expectedSize = 4096) : lineEnd_(lineEnd)
    {
        text_.reserve(expectedSize);
    }

    Html& operator<<(std::string_view line)
    {
        text_ += line;
        text_ += lineEnd_;
        return *this;
    }
    std::string take() { return std::move(text_); }

private:
    std::string_view lineEnd_;
    std::string text_;
};

constexpr std::string_view Lf = "\n";
constexpr std::string_view CrLf = "\r\n";
constexpr std::size_t EntryBytes = 1024; // room for one picture entry with the longest title

std::string number(std::int64_t value)
{
    return std::to_string(value);
}

// 1.05 for 105 cents.
std::string dollars(int cents)
{
    std::string fraction = std::to_string(cents % 100);
    return std::to_string(cents / 100) + "." + (fraction.size() < 2 ? "0" : "") + fraction;
}

void head(Html& html, std::string_view title)
{
    html << "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">"
         << "<html>"
         << "<head>"
         << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
         << "<title>Contributor area: " + std::string(title) + "</title>"
         << "<link rel=\"stylesheet\" type=\"text/css\" href=\"/css/contributor.css\">"
         << "</head>"
         << "<body>";
}

void menu(Html& html)
{
    html << "<div id=\"menu\">"
         << "<a href=\"main.mhtml\">Home</a> |"
         << "<a href=\"stats.mhtml\">Earnings</a> |"
         << "<a href=\"review.mhtml?approved=1&type=photos\">Approved batches</a> |"
         << "<a href=\"logout.mhtml\">Log out</a>"
         << "</div>";
}

void end(Html& html)
{
    html << "</body>"
         << "</html>";
}

void footer(Html& html)
{
    html << "<div id=\"footer\">"
         << "Contributor area"
         << "</div>";
    end(html);
}

std::string batchAddress(std::int64_t batchId)
{
    return "review_batch.mhtml?id=" + number(batchId) + "&approved=1&type=photos";
}

// Section heading rows of the day table; the readers switch the sale kind on their texts.
void sectionHeading(Html& html, std::string_view caption)
{
    html << "<tr>"
         << "<td colspan=\"3\" class=\"section\">" << caption << "</td>"
         << "</tr>";
}

void noDownloadsRow(Html& html)
{
    html << "<tr>"
         << "<td colspan=\"3\">No downloads</td>"
         << "</tr>";
}

} // namespace

std::string thumbnailPath(std::int64_t pictureId)
{
    return "/thumbs/" + number(pictureId) + ".jpg";
}

PageWriter::PageWriter(const Portfolio& portfolio, std::string imageBase)
    : portfolio_(portfolio), imageBase_(std::move(imageBase))
{
}

std::string PageWriter::thumbnailAddress(std::int64_t pictureId) const
{
    return imageBase_ + thumbnailPath(pictureId);
}

std::string PageWriter::loginPage() const
{
    Html html(Lf);
    head(html, "log in");
    html << "<h2>Please log in</h2>"
         << "<form method=\"post\" action=\"login.mhtml\">"
         << "<p>User name: <input type=\"text\" name=\"username\"></p>"
         << "<p>Password: <input type=\"password\" name=\"password\"></p>"
         << "<p><input type=\"submit\" value=\"Log in\"></p>"
         << "</form>";
    end(html);
    return html.take();
}

std::string PageWriter::notFoundPage() const
{
    Html html(Lf);
    head(html, "not found");
    html << "<h2>404 Not Found</h2>"
         << "<p>The page you asked for does not exist.</p>";
    end(html);
    return html.take();
}

std::string PageWriter::startPage() const
{
    Html html(Lf);
    head(html, "home");
    menu(html);
    html << "<h2>Welcome back</h2>"
         << "<p>You have <a href=\"review.mhtml?approved=1&type=photos\">" +
                number(portfolio_.pictureCount()) + " approved photos</a>.</p>"
         << "<p>See your <a href=\"stats.mhtml\">earnings</a>.</p>";
    footer(html);
    return html.take();
}

// Each day: its link line, then its downloads on the next raw line between <td> and </td>.
std::string PageWriter::monthPage(Month month) const
{
    Html html(Lf);
    head(html, "earnings");
    menu(html);
    html << "<h2>Earnings for " + monthCaption(month) + "</h2>"
         << "<form action=\"stats.mhtml\" method=\"get\">"
         << "<select name=\"year_month\">";
    const PortfolioOptions& options = portfolio_.options();
    for (Month m = options.from; m <= options.till; m += std::chrono::months(1))
        html << "<option value=\"" + isoMonth(m) + "\"" + (m == month ? " selected" : "") + ">" +
                    monthCaption(m) + "</option>";
    html << "</select>"
         << "<input type=\"submit\" value=\"Show\">"
         << "</form>"
         << "<table class=\"stats\" border=\"0\" cellpadding=\"3\">"
         << "<tr>"
         << "<th>Date</th>"
         << "<th>Downloads</th>"
         << "<th>Earnings</th>"
         << "</tr>";
    DayTotals monthTotals;
    for (auto day = std::chrono::sys_days(firstDay(month)); day <= std::chrono::sys_days(lastDay(month));
         day += std::chrono::days(1)) {
        const DayTotals totals = portfolio_.totals(Day(day));
        monthTotals.downloads += totals.downloads;
        monthTotals.cents += totals.cents;
        html << "<tr>"
             << "<td><a href=\"stats_date.mhtml?date=" + isoDate(Day(day)) + "\">" + usDate(Day(day)) +
                    "</a></td>"
             << "<td>" + number(totals.downloads) + "</td>"
             << "<td>$" + dollars(totals.cents) + "</td>"
             << "</tr>";
    }
    html << "<tr>"
         << "<td><b>Total</b></td>"
         << "<td>" + number(monthTotals.downloads) + "</td>"
         << "<td>$" + dollars(monthTotals.cents) + "</td>"
         << "</tr>"
         << "</table>";
    footer(html);
    return html.take();
}

namespace {

// One picture row of a day page, as logical lines after joining:
//   L    ...thumb_image_container...
//   L+1  <a href="pic.mhtml?id=ID" target="_blank">            (link, id at its end)
//   L+2  <img src="THUMB" alt="stock photo : TITLE" border="0">
//   L+6  <td align="center"> COUNT</td>
//   L+7  <td align="right">$EARNINGS</td>
void dayEntry(Html& html, const PageWriter& writer, const SaleEntry& entry, const std::string& title)
{
    const std::string id = number(entry.pictureId);
    html << "<tr>"
         << "<td class=\"thumb\"><div class=\"thumb_image_container\">"
         << "<a href=\"pic.mhtml?id=" + id + "\""
         << "target=\"_blank\">"
         << "<img src=\"" + writer.thumbnailAddress(entry.pictureId) + "\""
         << "alt=\"stock photo : " + title + "\" border=\"0\">"
         << "</a>"
         << "</div>"
         << "</td>"
         << "<td align=\"center\">" << number(entry.count) + "</td>"
         << "<td align=\"right\">$" + dollars(entry.cents) + "</td>"
         << "</tr>";
}

} // namespace

std::string PageWriter::dayPage(Day day) const
{
    const std::vector<SaleEntry> entries = portfolio_.dayEntries(day);
    const std::vector<SaleEntry> backup = portfolio_.backupCdEntries(day);
    Html html(CrLf, 4096 + (entries.size() + backup.size()) * EntryBytes);
    head(html, "daily downloads");
    menu(html);
    html << "<h2>Downloads for " + usDate(day) + "</h2>"
         << "<p><a href=\"stats.mhtml?year_month=" + isoMonth(day.year() / day.month()) + "\">Back to " +
                monthCaption(day.year() / day.month()) + "</a></p>"
         << "<table class=\"daily\" border=\"0\" cellpadding=\"3\">";
    constexpr std::string_view headings[] = {"Subscription Downloads", "On Demand Downloads",
                                             "Enhanced Downloads"};
    for (SaleKind kind : {SaleKind::Regular, SaleKind::OnDemand, SaleKind::Enhanced}) {
        sectionHeading(html, headings[static_cast<int>(kind)]);
        bool any = false;
        for (const SaleEntry& entry : entries)
            if (entry.kind == kind) {
                dayEntry(html, *this, entry, pictureTitle(portfolio_.options().seed, entry.pictureId));
                any = true;
            }
        if (!any)
            noDownloadsRow(html);
    }
    html << "</table>"
         << "<p class=\"backup\">"
         << "Images printed on a backup CD:" << number(static_cast<std::int64_t>(backup.size())) << "</p>"
         << "<table class=\"backup\" border=\"0\" cellpadding=\"3\">";
    for (const SaleEntry& entry : backup)
        dayEntry(html, *this, entry, pictureTitle(portfolio_.options().seed, entry.pictureId));
    html << "</table>";
    footer(html);
    return html.take();
}

// Raw lines of one batch row, with B the line of the batch link:
//   B    <td><a href="review_batch.mhtml?id=ID&approved=1&type=photos">ID</a></td>
//   B+3  <td align=center>MM/DD/YYYY</td>
//   B+4  <td align=center>APPROVED</td>
std::string PageWriter::approvedBatchesPage() const
{
    Html html(Lf, 4096 + portfolio_.batches().size() * 256);
    head(html, "approved batches");
    menu(html);
    html << "<h2>Approved Batches</h2>"
         << "<p><a href=\"review.mhtml?approved=1&type=photos&view=all\">View All " +
                number(portfolio_.pictureCount())
         << "Approved Photos</a></p>"
         << "<table class=\"batches\" border=\"0\" cellpadding=\"3\">"
         << "<tr>"
         << "<th>Batch</th>"
         << "<th>Type</th>"
         << "<th>Submitted</th>"
         << "<th>Reviewed</th>"
         << "<th>Approved</th>"
         << "</tr>";
    const std::vector<Batch>& batches = portfolio_.batches();
    for (auto batch = batches.rbegin(); batch != batches.rend(); ++batch)
        html << "<tr>"
             << "<td><a href=\"" + batchAddress(batch->id) + "\">" + number(batch->id) + "</a></td>"
             << "<td align=center>Photos</td>"
             << "<td align=center>" + number(batch->submitted) + "</td>"
             << "<td align=center>" + usDate(batch->date) + "</td>"
             << "<td align=center>" + number(batch->approved) + "</td>"
             << "</tr>";
    html << "</table>";
    footer(html);
    return html.take();
}

namespace {

// One picture of a batch page, as logical lines after joining:
//   L-6 .. L-3  <tr>, <td ...>, <a href="pic.mhtml?id=ID" target=onsite> ID, </a>
//   L           <div class="thumb_image_container">
//   L+1         <img src="THUMB" alt="stock photo : TITLE" border="0">
//   L+4         <td valign="top" style="font-size:10px"> KEYWORDS</td>
void batchEntry(Html& html, const PageWriter& writer, const Picture& picture)
{
    const std::string id = number(picture.id);
    html << "<tr>"
         << "<td valign=\"top\" class=\"id\">"
         << "<a href=\"pic.mhtml?id=" + id + "\" target=onsite>" << id << "</a>"
         << "</td>"
         << "<td valign=\"top\">"
         << "<div class=\"thumb_image_container\">"
         << "<img src=\"" + writer.thumbnailAddress(picture.id) + "\" alt=\"stock photo : " + picture.title +
                "\""
         << "border=\"0\">"
         << "</div>"
         << "</td>"
         << "<td valign=\"top\" style=\"font-size:10px\">" << picture.keywords + "</td>"
         << "<td valign=\"top\" align=center>"
         << "Approved<br>" << usDate(picture.accepted) + "</td>"
         << "</tr>";
}

} // namespace

std::string PageWriter::batchPage(const Batch& batch, int page) const
{
    const int pages = Portfolio::pageCount(batch);
    Html html(CrLf, 4096 + PicturesPerBatchPage * EntryBytes * 2);
    head(html, "batch " + number(batch.id));
    menu(html);
    html << "<h2>Batch " + number(batch.id) + "</h2>"
         << "<p>Approved photos: " + number(batch.approved) + ", page " + number(page) + " of " +
                number(pages) + "</p>"
         << "<table class=\"batch\" border=\"0\" cellpadding=\"3\">";
    for (const Picture& picture : portfolio_.batchPage(batch, page))
        batchEntry(html, *this, picture);
    html << "</table>"
         << "<div class=\"pages\">";
    for (int p = 1; p <= pages; ++p)
        html << "<a href=\"" + batchAddress(batch.id) + "&pg=" + number(p) + "\">" + number(p) + "</a>";
    html << "</div>";
    footer(html);
    return html.take();
}

} // namespace agencysim
