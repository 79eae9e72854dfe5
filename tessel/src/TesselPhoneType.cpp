// Which phone type a hardware id and model byte stand for.
#include "TesselInternal.h"

#include <iterator>

namespace {

constexpr std::int16_t kNone = TESSEL_PHONE_TYPE_NONE;

// Model bytes 219 and 247: the type for each hardware id 0..14.
constexpr std::int16_t kTypeByHwId[] = {6, 6, 0, 0, 0, 0, 0, 8, 9, 6, 4, 4, 6, 4, 10};

} // namespace

std::int16_t TesselDeterminePhoneType(std::int16_t sHwId, std::int16_t sModel) {
    switch (sModel) {
    case 209:
        return sHwId == 13 ? 7 : kNone;
    case 219:
    case 247:
        return (sHwId >= 0 && sHwId < static_cast<int>(std::size(kTypeByHwId))) ? kTypeByHwId[sHwId] : kNone;
    case 226:
        return sHwId == 12 ? 5 : 3;
    default:
        return kNone;
    }
}
