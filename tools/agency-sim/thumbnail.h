#pragma once

#include <cstdint>
#include <string>

namespace agencysim {

// A small real JPEG (100 x 67 or 67 x 100) whose picture and bytes depend only on seed and picture id.
std::string thumbnailJpeg(std::uint64_t seed, std::int64_t pictureId);

} // namespace agencysim
