#pragma once

#include "tools/agency-sim/portfolio.h"

#include <string>

namespace agencysim {

// The contributor pages of the agency as Windows-1251 bytes. Each value stands at the line distance
// from its marker line that the page readers rely on; tags begin raw lines and some texts continue on
// the following raw line, so that only joined lines give the values. Day and batch pages end their lines
// with CR LF, the other pages with LF.
class PageWriter
{
public:
    // imageBase: scheme, host and port that the thumbnail addresses begin with.
    PageWriter(const Portfolio& portfolio, std::string imageBase);

    std::string loginPage() const;
    std::string notFoundPage() const;
    std::string startPage() const;
    std::string monthPage(Month month) const;
    std::string dayPage(Day day) const;
    std::string approvedBatchesPage() const;
    std::string batchPage(const Batch& batch, int page) const;

    std::string thumbnailAddress(std::int64_t pictureId) const;

private:
    const Portfolio& portfolio_;
    std::string imageBase_;
};

std::string thumbnailPath(std::int64_t pictureId); // /thumbs/ID.jpg

} // namespace agencysim
