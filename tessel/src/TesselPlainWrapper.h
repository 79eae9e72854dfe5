// The one mechanism behind the plain operations (tessel_plain.inc): look the
// session up, check the caller's pointers, trace the call line with the
// inputs, refuse an unconnected session, make the call, trace the result
// line with the outputs. A row names its inputs and outputs with the item
// makers below; their texts are built only when the line is written.
#pragma once

#include "TesselInternal.h"
#include "qmsl.h"

#include <cinttypes>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>

struct PlainItem {
    // Input, Output and Check are values and buffers. Break splits the call
    // line, ResultBreak starts the next of several numbered result lines,
    // Result sets the result line's brackets; Shape carries row-wide settings.
    enum Kind { Input, Output, Check, Break, Result, Shape, ResultBreak } eKind;
    bool bPointer = false;                      // the item is a caller pointer ...
    const void* pRequired = nullptr;            // ... and this is it: null gives TESSEL_ERROR_PARAMETER2
    std::function<std::string()> fnText;        // "name=value"; empty for Check
    const char* cSeparator = ", ";              // written before this item in the call line
    std::function<void()> fnPrepare;            // run before the call (e.g. clear an output)
    bool bAfterSession = false;                 // Input: shown after "Sess=%d" instead of in the brackets
    bool bSessionFirst = false;                 // Break: the first line ends with the session (else with "... ")
    const char* cOpen = "(";                    // Result: around the outputs ...
    const char* cClose = ")";                   // ... of the result line
    std::function<bool()> fnAccept = {};        // after a true answer: false gives TESSEL_ERROR_LIBRARY
    std::function<void(int)> fnAfterCallLine = {};  // more lines after the call line (given the session)
    // Row-wide settings (Shape items).
    bool bHandleNotTested = false;              // the call is made with handle -1 too
    const char* cCallClose = nullptr;           // what stands before ") Sess=" instead of " "
    const char* cEmptyResult = nullptr;         // the brackets of a result line without outputs instead of "()"
};

// Runs one plain operation. `call` makes the vendor or extension call on the
// handle; its false answer gives TESSEL_ERROR_LIBRARY.
int Mob_RunPlain_m(int iSession, const char* cName, const char* cFile, int iLine,
                   std::initializer_list<PlainItem> items, const std::function<unsigned char(QmslHandle)>& call);

namespace plain {

// Longest part of a caller's text a trace line shows.
constexpr int kPlainTextShown = 256;

std::string format(const char* cFormat, ...) __attribute__((format(printf, 1, 2)));

using TextFn = const char* (*)(int);

// An input shown as "name=value" or, with a text table, "name=value(text)".
// The value is the one passed on (a byte or 16-bit argument narrowed), shown
// as a signed 32-bit number like every "%d" of a call line.
inline PlainItem In(const char* cName, int iValue, TextFn fnText = nullptr) {
    return {PlainItem::Input, false, nullptr, [=] {
                return fnText ? format("%s=%d(%s)", cName, iValue, fnText(iValue)) : format("%s=%d", cName, iValue);
            }};
}
// A caller's array or record passed on as it is, shown by its address,
// "name=0x<hex digits>"; it may be null (the callee decides).
inline PlainItem InAddress(const char* cName, const void* pArray) {
    return {PlainItem::Input, false, nullptr,
            [=] { return format("%s=0x%" PRIxPTR, cName, Mob_Address(pArray)); }};
}
// An input that follows the handle with a blank instead of ", ".
inline PlainItem InNoComma(const char* cName, int iValue) {
    PlainItem item = In(cName, iValue);
    item.cSeparator = " ";
    return item;
}
// A text input, "name=text"; it must not be null.
inline PlainItem InText(const char* cName, const char* cText) {
    return {PlainItem::Input, true, cText, [=] { return format("%s=%s", cName, cText); }};
}
// A text input shown bounded, "name=<quote>text<quote>", at most iMax
// characters of it (the bound of what the call uses, so a full field without
// a terminator is never read past); it must not be null.
inline PlainItem InQuoted(const char* cName, const char* cText, const char* cQuote = "",
                          int iMax = kPlainTextShown) {
    return {PlainItem::Input, true, cText,
            [=] { return format("%s=%s%.*s%s", cName, cQuote, iMax, cText, cQuote); }};
}
// An input in hexadecimal with iDigits digits, "name=0x...".
inline PlainItem InHex(const char* cName, unsigned long long ullValue, int iDigits) {
    return {PlainItem::Input, false, nullptr, [=] { return format("%s=0x%0*llX", cName, iDigits, ullValue); }};
}
// A bare separator in the call line after the handle (no value).
inline PlainItem Mark(const char* cSeparator) {
    PlainItem item{PlainItem::Input, false, nullptr, [] { return std::string(); }};
    item.cSeparator = cSeparator;
    return item;
}
// The result line without outputs reads "name( )".
inline PlainItem SpacedResult() {
    PlainItem item{PlainItem::Shape, false, nullptr, {}};
    item.cEmptyResult = "( )";
    return item;
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
PlainItem Zeroed(const char* cName, T* pValue, TextFn fnText = nullptr) {
    PlainItem item = Out(cName, pValue, fnText);
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

// An input shown after the session in the call line, ", name=value".
inline PlainItem InAfterSession(const char* cName, int iValue) {
    PlainItem item = In(cName, iValue);
    item.bAfterSession = true;
    return item;
}
// A call line in two lines. The first line closes with the session, the
// second starts again with the name: "name( a=1 ) Sess=1" and "name( b=2 )".
inline PlainItem BreakAfterSession() {
    PlainItem item{PlainItem::Break};
    item.bSessionFirst = true;
    return item;
}
// A call line in two lines joined by dots: "name( Handle=1, a=1... " and
// "...b=2 ) Sess=1".
inline PlainItem BreakWithDots() { return {PlainItem::Break}; }
// The brackets of the result line around the outputs, instead of "()" when
// there are none and "( " ... " )" when there are: "name<open><outputs><close> = status".
inline PlainItem ResultIn(const char* cOpen, const char* cClose) {
    PlainItem item{PlainItem::Result};
    item.cOpen = cOpen;
    item.cClose = cClose;
    return item;
}
// "name = status".
inline PlainItem BareResult() { return ResultIn("", ""); }
// Byte iOffset of a record the call fills, "label=value".
inline PlainItem OutByte(const char* cLabel, const void* pRecord, int iOffset) {
    return {PlainItem::Output, true, pRecord,
            [=] { return format("%s=%d", cLabel, static_cast<const unsigned char*>(pRecord)[iOffset]); }};
}

// --- items of the rows whose call or result lines differ -------------------

// A fixed text in the call line after the inputs before it.
inline PlainItem InLiteral(const char* cText, const char* cSeparator = ", ") {
    PlainItem item{PlainItem::Input, false, nullptr, [=] { return std::string(cText); }};
    item.cSeparator = cSeparator;
    return item;
}
// An input with its own form for the value ("name = %d").
inline PlainItem InF(const char* cFormat, long long llValue, const char* cSeparator = ", ") {
    PlainItem item{PlainItem::Input, false, nullptr, [=] { return format(cFormat, static_cast<int>(llValue)); }};
    item.cSeparator = cSeparator;
    return item;
}
// An output (or a local value) in its own form: cFormat takes the value as
// an int and, with a text table, its text ("*piFTM_Status=%04X(%s)").
template <typename T>
PlainItem OutF(const char* cFormat, T* pValue, TextFn fnText = nullptr) {
    return {PlainItem::Output, true, pValue, [=] {
                const int iValue = static_cast<int>(*pValue);
                return fnText ? format(cFormat, iValue, fnText(iValue)) : format(cFormat, iValue);
            }};
}
// An output the operation sets to a start value before the call.
template <typename T>
PlainItem Preset(PlainItem item, T* pValue, T value) {
    item.fnPrepare = [=] { *pValue = value; };
    return item;
}
// After a true answer, the value must be 0 (an FTM or sweep status).
template <typename T>
PlainItem MustBeZero(const T* pValue) {
    PlainItem item{PlainItem::Check, true, pValue, {}};
    item.fnAccept = [=] { return *pValue == 0; };
    return item;
}
// Lines written after the call line, at trace level 1 or more.
inline PlainItem AfterCallLine(std::function<void(int)> fnLines) {
    PlainItem item{PlainItem::Check, false, nullptr, {}};
    item.fnAfterCallLine = std::move(fnLines);
    return item;
}
// The outputs after it go to a second result line ("1. ..." and "2. ...").
inline PlainItem NextResultLine() { return {PlainItem::ResultBreak, false, nullptr, {}}; }
// The call is made on an unconnected session too (its handle -1 then fails it).
inline PlainItem HandleNotTested() {
    PlainItem item{PlainItem::Shape, false, nullptr, {}};
    item.bHandleNotTested = true;
    return item;
}
// The call line closes with this text before ") Sess=" (default " ").
inline PlainItem CallClose(const char* cText) {
    PlainItem item{PlainItem::Shape, false, nullptr, {}};
    item.cCallClose = cText;
    return item;
}

inline unsigned char u8(int iValue) { return static_cast<unsigned char>(iValue); }
inline unsigned short u16(int iValue) { return static_cast<unsigned short>(iValue); }
inline short i16(int iValue) { return static_cast<short>(iValue); }

} // namespace plain
