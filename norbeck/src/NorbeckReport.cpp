// The test-result report: decide whether the phone needs one, check the
// arguments, collect the line data, send the record, reset the per-phone
// line data.
#include "NorbeckReport.h"

#include "NorbeckPhone.h"
#include "brannik.h"
#include "pellin.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

constexpr int kLenLineText = 128;  // every line-data text is read into 128 bytes
constexpr const char* kGorvidDummyImei = "12345";
constexpr const char* kDateFormat = "%04d-%02d-%02d %02d:%02d:%02d";
constexpr int kZpos = 111;

// Report codes by the status file: fail code, pass code.
struct StatusCodes {
    const char* cStatFile;
    int iFail;
    int iPass;
};
constexpr StatusCodes kStatusCodes[] = {{"923", 2, 3}, {"916", 4, 5}, {"920", 6, 7}};
constexpr StatusCodes kOtherStatusFile = {"", 0, 1};

// The line data the report takes.
struct LineData {
    int iStdMapVer = 0, iDeltaMapProvider = 0, iDeltaMapVer = 0, iLineNr = 0, iLineType = 0, iMobSwVersion = 0;
    std::string cStandort, cMacAdress, cSammelkarte, cSimId, cFlashSerialNumber, cMobSwDateTime;
};

// One read of the line-data store: a number, or a text with its room in
// the record (0: no length test); a trace line before it, if any.
struct LineRead {
    const char* cTraceBefore;
    int (*getNumber)(int*, char*);
    int LineData::*number;
    int (*getText)(char*, int, char*);
    std::string LineData::*text;
    int iMaxLen;
};

constexpr const char* kConstantData =
    "get constant data for MeroReport from Brannik [not changed during runtime, putted in SeqLoad]";
constexpr const char* kVariableData =
    "get variable data for MeroReport from Brannik [changed during runtime by tc, init in SeqLoad]";

const LineRead kLineReads[] = {
    {kConstantData, BrannikGet_StdMapVer, &LineData::iStdMapVer, nullptr, nullptr, 0},
    {nullptr, BrannikGet_DeltaMapProvider, &LineData::iDeltaMapProvider, nullptr, nullptr, 0},
    {nullptr, BrannikGet_DeltaMapVer, &LineData::iDeltaMapVer, nullptr, nullptr, 0},
    {nullptr, BrannikGet_LineNr, &LineData::iLineNr, nullptr, nullptr, 0},
    {nullptr, nullptr, nullptr, BrannikGet_Standort, &LineData::cStandort, 3},
    {nullptr, BrannikGet_LineType, &LineData::iLineType, nullptr, nullptr, 0},
    {nullptr, nullptr, nullptr, BrannikGet_MacAdress, &LineData::cMacAdress, 20},
    {nullptr, nullptr, nullptr, BrannikGet_Sammelkarte, &LineData::cSammelkarte, 25},
    {kVariableData, nullptr, nullptr, BrannikGet_SimId, &LineData::cSimId, 20},
    {nullptr, BrannikGet_MobSwVersion, &LineData::iMobSwVersion, nullptr, nullptr, 0},
    {nullptr, nullptr, nullptr, BrannikGet_FlashSerialNumber, &LineData::cFlashSerialNumber, 20},
    {nullptr, nullptr, nullptr, BrannikGet_MobSwDateTime, &LineData::cMobSwDateTime, 19},
};

int failTooLong(const std::string& text, int iMaxLen, char* cErrMsg) {
    return norbeck_Fail(cErrMsg, "String [%s] to long for sMeroReportData-struct: Exp: %d Found: %d", text.c_str(),
                        iMaxLen, static_cast<int>(text.size()));
}

int checkLength(const std::string& text, int iMaxLen, char* cErrMsg) {
    return static_cast<int>(text.size()) > iMaxLen ? failTooLong(text, iMaxLen, cErrMsg) : 0;
}

int readText(int (*get)(char*, int, char*), std::string& out, char* cErrMsg) {
    char buf[kLenLineText] = "";
    if (get(buf, kLenLineText, cErrMsg) != 0) return norbeck_Failed(cErrMsg);
    out = buf;
    return 0;
}

int readLineData(LineData& d, char* cErrMsg) {
    for (const LineRead& r : kLineReads) {
        if (r.cTraceBefore) norbeck_Trace("%s", r.cTraceBefore);
        if (r.getNumber) {
            if (r.getNumber(&(d.*r.number), cErrMsg) != 0) return norbeck_Failed(cErrMsg);
            continue;
        }
        if (readText(r.getText, d.*r.text, cErrMsg)) return -1;
        if (checkLength(d.*r.text, r.iMaxLen, cErrMsg)) return -1;
    }
    return 0;
}

std::string dateTimeText(const std::tm& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, kDateFormat, t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min,
                  t.tm_sec);
    return buf;
}

int norbeck_MeroReportNeeded(int* piMeroReportNeeded, char* cErrMsg) {
    norbeck_Trace("norbeck_MeroReportNeeded() ...");
    *piMeroReportNeeded = 1;
    std::string cSammelkarte;
    if (readText(BrannikGet_Sammelkarte, cSammelkarte, cErrMsg)) return -1;
    int iSk003 = 0;
    if (BrannikGet_Sk003(&iSk003, cErrMsg) != 0) return norbeck_Failed(cErrMsg);
    if (iSk003 >= 26990 && iSk003 <= 26999) {
        norbeck_Trace("%s => Calibration Phone => No MeroReport", cSammelkarte.c_str());
        *piMeroReportNeeded = 0;
    }
    norbeck_Trace("*piMeroReportNeeded = %d", *piMeroReportNeeded);
    return 0;
}

int norbeck_CheckPrmMeroReport(int iDutNr, int iPassFailDut, const char* cImei, char* cErrMsg) {
    norbeck_Trace("norbeck_CheckPrmMeroReport(%d,%d,%s) ...", iDutNr, iPassFailDut, cImei);
    // These two messages get a trace line of their own before the failure trace.
    if (iPassFailDut != 0 && iPassFailDut != 1)
        return norbeck_FailTraced(cErrMsg, "!!!!!!!!! iPassFailDut: %d not in [0,1] !!!!!!!!!", iPassFailDut);
    if (std::strcmp(cImei, kGorvidDummyImei) == 0)
        return norbeck_FailTraced(cErrMsg, "cDummyImei %s found in gorvid => no meroreport", cImei);
    return norbeck_CheckForValidImei(cImei, cErrMsg);
}

int reportStatus(int iPassFailDut, int* piStatus, char* cErrMsg) {
    std::string cPstufeStatFile;
    if (readText(BrannikGet_PstufeStatFile, cPstufeStatFile, cErrMsg)) return -1;
    for (char& c : cPstufeStatFile) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    StatusCodes codes = kOtherStatusFile;
    for (const StatusCodes& s : kStatusCodes)
        if (cPstufeStatFile == s.cStatFile) codes = s;
    norbeck_Trace("cPstufeStatFile: %s => iPStufeSpecificFailForMero: %d  iPStufeSpecificPassForMero: %d",
                  cPstufeStatFile.c_str(), codes.iFail, codes.iPass);
    *piStatus = iPassFailDut == 0 ? codes.iPass : codes.iFail;
    norbeck_Trace("iPassFailDutMero: %d", *piStatus);
    return 0;
}

void copyText(char* field, const std::string& text) { std::memcpy(field, text.c_str(), text.size() + 1); }

void fillRecord(sMeroReportData& r, const char* cImei, int iStatus, const std::string& cDate, const LineData& d) {
    std::memset(&r, 0, sizeof r);
    r.iVersion = 1;
    Varn_DorlepData& s = r.sData;
    copyText(s.imei_nr, cImei);
    s.pruefstatus = iStatus;
    copyText(s.linie_staort, d.cStandort);
    std::snprintf(s.linie_typ, sizeof s.linie_typ, "%c", d.iLineType);
    s.linie_nr = d.iLineNr;
    copyText(s.pruef_datum, cDate);
    copyText(s.sach_nr, d.cSammelkarte);
    std::snprintf(s.sw_rel, sizeof s.sw_rel, "%03d", d.iMobSwVersion);
    copyText(s.comp_datum, d.cMobSwDateTime);
    copyText(s.simcard_nr, d.cSimId);
    copyText(s.flash_nr, d.cFlashSerialNumber);
    s.iZpos = kZpos;
    copyText(s.pcMacId, d.cMacAdress);
    s.iStdMapVer = d.iStdMapVer;
    s.iProvider = d.iDeltaMapProvider;
    s.iDeltaMapVer = d.iDeltaMapVer;
}

// The per-phone line data back to the values of a fresh station.
int resetLineData(char* cErrMsg) {
    std::tm t{};
    t.tm_year = 2000 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 1;
    t.tm_hour = t.tm_min = t.tm_sec = 1;
    const std::string cMobSwDateTime = dateTimeText(t);
    if (BrannikPut_FlashSerialNumber("0", cErrMsg) != 0 || BrannikPut_SimId("", cErrMsg) != 0 ||
        BrannikPut_MobSwDateTime(cMobSwDateTime.c_str(), cErrMsg) != 0 || BrannikPut_MobSwVersion(0, cErrMsg) != 0)
        return norbeck_Failed(cErrMsg);
    return 0;
}

} // namespace

int norbeck_MeroReport(int iDutNr, int iPassFailDut, const char* cImei, char* cErrMsg) {
    return norbeck_Guard(cErrMsg, [&] {
        const char* imei = cImei ? cImei : "";
        norbeck_Trace("norbeck_MeroReport(iDutNr:%d,iPassFailDut:%d,%s) ...", iDutNr, iPassFailDut, imei);
        int iMeroReportNeeded = 1;
        if (norbeck_MeroReportNeeded(&iMeroReportNeeded, cErrMsg)) return -1;
        if (!iMeroReportNeeded) return 0;
        if (norbeck_CheckPrmMeroReport(iDutNr, iPassFailDut, imei, cErrMsg)) return -1;
        int iStatus = 0;
        if (reportStatus(iPassFailDut, &iStatus, cErrMsg)) return -1;

        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        const std::string cDate = dateTimeText(local);
        if (checkLength(cDate, 19, cErrMsg) || checkLength(imei, 16, cErrMsg)) return -1;

        LineData d;
        if (readLineData(d, cErrMsg)) return -1;

        norbeck_Trace("copy data to struct sMeroReportData.*");
        sMeroReportData sReport;
        fillRecord(sReport, imei, iStatus, cDate, d);
        norbeck_Trace("sMeroReportData.iVersion: %d", sReport.iVersion);

        norbeck_Trace("now send data to Mero via pellin_DoMeroReport() ...");
        if (pellin_DoMeroReport(&sReport, cErrMsg) != 0) return norbeck_Failed(cErrMsg);
        norbeck_Trace("pellin_DoMeroReport() ok");
        norbeck_Trace("reset all dynamic values, which have to set in testcases, to their initial values in SeqLoad");
        norbeck_Trace("Imei has to be cleared by user in SeqStartUp");
        return resetLineData(cErrMsg);
    });
}
