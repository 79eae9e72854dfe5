// Display test pictures and the display switch. The picture table gives,
// per phone type, the pattern ranges it shows and the picture set of each:
// the main display's set of a project (with its file extension) or the sub
// display's set.
#include "TesselFctsPeriph.h"
#include "kavor.h"

#include <cstring>
#include <string>
#include <vector>

using periph::hex;

namespace {

constexpr const char* kPictureFolder = "/FactoryTest/Pictures/";
constexpr const char* kColours[] = {"", "Blue", "Green", "Red", "RowColumnTest", "White", "Black", "GNGTest"};
constexpr int kContrast = 0;
constexpr int kGngTest = 7;

enum class Set { Main, Sub };

struct PatternRange {
    int iFirst, iLast;   // patterns; colour number = pattern - iFirst
    Set eSet;
    const char* cProject;
    const char* cExtension;   // main display only; the sub display's pictures are ".bmp"
    bool bPlainContrast;      // main-display contrast picture without the "_155"
};

struct PictureRow {
    int iPhoneType;
    std::vector<PatternRange> ranges;
};

// clang-format off
const PictureRow kPictures[] = {
    {0,  {{0, 6, Set::Main, "Brenvel5", ".jpg", false}, {50, 56, Set::Main, "Brenvel5", ".bmp", false}}},
    {1,  {{0, 6, Set::Main, "Brenvel4", ".jpg", false}, {50, 56, Set::Main, "Brenvel4", ".bmp", false}}},
    {4,  {{50, 56, Set::Main, "Brenvel5", ".bmp", false}, {100, 106, Set::Sub, "Lurvin", nullptr, false}}},
    {6,  {{0, 6, Set::Main, "TARV", ".jpg", false}, {50, 56, Set::Main, "TARV", ".bmp", false}}},
    {8,  {{50, 57, Set::Main, "Gastol", ".bmp", true}}},
    {9,  {{50, 57, Set::Main, "PALDEN", ".bmp", false}, {100, 107, Set::Sub, "PALDEN", nullptr, false}}},
    {10, {{50, 56, Set::Main, "Brenvel5", ".bmp", false}, {100, 106, Set::Sub, "Lurvin", nullptr, false}}},
};
// clang-format on

std::string pictureName(const PatternRange& r, int iColour) {
    const std::string project = r.cProject;
    std::string name = kPictureFolder;
    if (r.eSet == Set::Main) {
        if (iColour != kContrast) return name + "TFT_" + kColours[iColour] + "_" + project + r.cExtension;
        return name + "Contrast_TFT_" + project + (r.bPlainContrast ? "" : "_155") + r.cExtension;
    }
    if (iColour == kContrast) return name + "Contrast_TFT_" + project + "Sub.bmp";
    if (iColour == kGngTest) return name + "TFT_GNGTest_" + project + "Sub.bmp";
    return name + kColours[iColour] + "_TFT_" + project + "Sub.bmp";
}

enum class Pick { Found, UnsupportedType, UndefinedPattern };

Pick pickPicture(int iPhoneType, int ePattern, std::string& name) {
    for (const PictureRow& row : kPictures) {
        if (row.iPhoneType != iPhoneType) continue;
        for (const PatternRange& r : row.ranges) {
            if (ePattern >= r.iFirst && ePattern <= r.iLast) {
                name = pictureName(r, ePattern - r.iFirst);
                return Pick::Found;
            }
        }
        return Pick::UndefinedPattern;
    }
    return Pick::UnsupportedType;
}

} // namespace

int _Tessel_SpecialSetDisplayPattern(int iSession, int ePattern, const char* cFile, int iLine) {
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, ePattern=%d ) Sess=%d", __func__, rec.hHandle, ePattern,
                  iSession);
    periph::Status status;
    std::string name;
    switch (pickPicture(rec.sPhoneType, ePattern, name)) {
    case Pick::UnsupportedType: periph::notSupported(iSession, status); break;
    case Pick::UndefinedPattern:
        Tessel_TracePlain_m(iSession, "[ERROR: Undefined pattern.]");
        status.fail();
        break;
    case Pick::Found: {
        // The extension library sends all 128 bytes of the name's buffer.
        char cName[TESSEL_IMAGE_NAME_MAX] = {};
        std::strncpy(cName, name.c_str(), sizeof cName - 1);
        Tessel_TracePlain_m(iSession, " QLIB_FTM_DISPLAY_IMAGE('%s')", cName);
        if (rec.hHandle == -1) status.fail();
        else status.ok(KAVOR_FTM_DISPLAY_IMAGE(rec.hHandle, cName));
        break;
    }
    }
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}

// Phones with two displays: selects the display by the extension command of
// the display switch, then lights it.
int _Tessel_SpecialSwitchDisplay(int iSession, unsigned char uiDsplNum, const char* cFile, int iLine) {
    constexpr unsigned char kBacklightLevel = 80;
    constexpr short kReplyRoom = 4096;
    constexpr unsigned long kTimeoutMs = 2000;
    SessionRecord rec;
    if (int st = periph::lookup(iSession, rec)) return st;
    Mob_TraceCall(iSession, cFile, iLine, "%s( Handle=%d, uiDsplNum=%d ) Sess=%d", __func__, rec.hHandle, uiDsplNum,
                  iSession);
    periph::Status status;
    const int iType = rec.sPhoneType;
    if (iType != 4 && iType != 9 && iType != 10) {
        periph::notSupported(iSession, status);
    } else if (uiDsplNum > 1) {
        Tessel_TracePlain_m(iSession, "[ERROR: Number of display not supported.]");
        status.fail();
    } else {
        // Extension FTM, group 0x8000, command 200, one byte of data, a 12-byte reply.
        const unsigned char request[] = {0x4B, 0x0B, 0x00, 0x80, 200, 0, 1, 0, 12, 0, uiDsplNum};
        std::vector<unsigned char> reply(kReplyRoom);
        short iReplySize = kReplyRoom;
        status.ok(_Tessel_SendSync(iSession, sizeof request, request, &iReplySize, reply.data(), kTimeoutMs, cFile, iLine) ==
                  0);
        status.ok(rec.hHandle != -1 && KAVOR_FTM_SET_LCD_BACKLIGHT_LEVEL(rec.hHandle, kBacklightLevel));
    }
    Mob_TraceResult(iSession, status.get(), "%s( ) = %#x", __func__, hex(status.get()));
    return status.get();
}
