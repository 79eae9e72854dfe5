// The one mechanism behind the plain operations (tessel_plain.inc): look the
// session up, check the caller's pointers, trace the call line with the
// inputs, refuse an unconnected session, make the call, trace the result
// line with the outputs. A row names its inputs and outputs with the item
// makers below; their texts are built only when the line is written.
#pragma once

#include "TesselInternal.h"
#include "qmsl.h"

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>

struct PlainItem {
    enum Kind { Input, Output, Check } eKind;
    bool bPointer = false;                      // the item is a caller pointer ...
    const void* pRequired = nullptr;            // ... and this is it: null gives TESSEL_ERROR_PARAMETER2
    std::function<std::string()> fnText;        // "name=value"; empty for Check
    const char* cSeparator = ", ";              // written before this item in the call line
    std::function<void()> fnPrepare;            // run before the call (e.g. clear an output)
};

// Runs one plain operation. `call` makes the vendor or extension call on the
// handle; its false answer gives TESSEL_ERROR_LIBRARY.
int Mob_RunPlain_m(int iSession, const char* cName, const char* cFile, int iLine,
                   std::initializer_list<PlainItem> items, const std::function<unsigned char(QmslHandle)>& call);

namespace plain {

std::string format(const char* cFormat, ...) __attribute__((format(printf, 1, 2)));

using TextFn = const char* (*)(int);

// An input shown as "name=value" or, with a text table, "name=value(text)".
inline PlainItem In(const char* cName, long long llValue, TextFn fnText = nullptr) {
    return {PlainItem::Input, false, nullptr, [=] {
                return fnText ? format("%s=%lld(%s)", cName, llValue, fnText(static_cast<int>(llValue)))
                              : format("%s=%lld", cName, llValue);
            }};
}
// An input that follows the handle with a blank instead of ", ".
inline PlainItem InNoComma(const char* cName, long long llValue) {
    PlainItem item = In(cName, llValue);
    item.cSeparator = " ";
    return item;
}
// A text input, "name=text"; it must not be null.
inline PlainItem InText(const char* cName, const char* cText) {
    return {PlainItem::Input, true, cText, [=] { return format("%s=%s", cName, cText); }};
}
// A text input of which at most iMax characters are used: traced with the
// same bound, so a full field without a terminator is never read past.
inline PlainItem InTextN(const char* cName, const char* cText, int iMax) {
    return {PlainItem::Input, true, cText, [=] { return format("%s=%.*s", cName, iMax, cText); }};
}
// A caller buffer that is not traced but must not be null.
inline PlainItem Need(const void* pBuffer) { return {PlainItem::Check, true, pBuffer, {}}; }

// An output, "*name=value" (with a text table "*name=value(text)").
template <typename T>
PlainItem Out(const char* cName, T* pValue, TextFn fnText = nullptr) {
    return {PlainItem::Output, true, pValue, [=] {
                const long long llValue = static_cast<long long>(*pValue);
                return fnText ? format("*%s=%lld(%s)", cName, llValue, fnText(static_cast<int>(llValue)))
                              : format("*%s=%lld", cName, llValue);
            }};
}
// An output the operation sets to 0 before the call.
template <typename T>
PlainItem Zeroed(const char* cName, T* pValue) {
    PlainItem item = Out(cName, pValue);
    item.fnPrepare = [=] { *pValue = 0; };
    return item;
}
// An output of n bytes, shown as "*name=" and two hex digits per byte.
inline PlainItem OutHex(const char* cName, const unsigned char* pucBytes, int iCount) {
    return {PlainItem::Output, true, pucBytes, [=] {
                std::string text = format("*%s=", cName);
                for (int i = 0; i < iCount; ++i) text += format("%02X", pucBytes[i]);
                return text;
            }};
}
// A text output of iRoom bytes, `*name = "text"`. It is emptied before the
// call, so a call that fails or is not made leaves no unterminated text to
// trace; the trace never reads past the room.
inline PlainItem OutText(const char* cName, char* cText, int iRoom) {
    PlainItem item{PlainItem::Output, true, cText, [=] { return format("*%s = \"%.*s\"", cName, iRoom - 1, cText); }};
    item.fnPrepare = [=] { cText[0] = '\0'; };
    return item;
}
// The error count of an error log, "label=value".
template <typename Log>
PlainItem OutErrorCount(const char* cLabel, Log* pLog) {
    return {PlainItem::Output, true, pLog, [=] { return format("%s=%d", cLabel, static_cast<int>(pLog->iErrorCount)); }};
}

inline unsigned char u8(int iValue) { return static_cast<unsigned char>(iValue); }
inline unsigned short u16(int iValue) { return static_cast<unsigned short>(iValue); }

} // namespace plain
