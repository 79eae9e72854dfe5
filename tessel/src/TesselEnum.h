// Texts for the phone's numeric codes, used inside trace lines and by the
// _Tessel_KlfGet_c* exports. Each returns a constant text; a code without a
// row gives the table's "else" text.
#pragma once

const char* Get_cRfMode(int iCode);
const char* Get_cMode(int iCode);
const char* Get_cNvStat(int iCode);
const char* Get_cLnaRange(int iCode);
const char* Get_cPaRange(int iCode);
const char* Get_cDataSrc(int iCode);
const char* Get_cRxFn(int iCode);
const char* Get_cFmRadioStatus(int iCode);
const char* Get_cSpkrCmd(int iCode);
const char* Get_cOnOff(int iCode);
const char* Get_cKeyEvent(int iCode);
const char* Get_cPhoneModel(int iCode);
const char* Get_cFmRadioInfo(int iCode);
const char* Get_cCameraStatus(int iCode);
const char* Get_cCToNGpsStatus(int iCode);
const char* Get_cSliderStatus(int iCode);
const char* Get_cHallSensor(int iCode);
const char* Get_cFmRadioRdsStatus(int iCode);
const char* Get_cCameraModel(int iCode);
const char* Get_cCallState(int iCode);
// "HS_<key>_K" for a handset key code, "UNKNOWN" otherwise.
const char* Get_cKeyPress(int iCode);
// Maker (high byte) and NAND device (low byte) of a flash id, in a module
// buffer of 128 characters that each call overwrites.
const char* Get_cFlash(unsigned short usId);

