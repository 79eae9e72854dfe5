// The AT commands whose fields and values stand at fixed places: actions,
// one-value setters, setters with field rules of their own, and getters that
// read at fixed positions of the echoed reply.
#include "AtCommands.h"

namespace kavor::at::rows {

using namespace std::string_view_literals;

namespace {

// A one-value setter: the value by the one-digit rule.
constexpr Command setter(const char* call, std::string_view text, std::uint32_t timeoutMs = 3000) {
    return {call, text, {oneDigit(0)}, {}, timeoutMs};
}
// A getter of one digit at a position.
constexpr Command digitGetter(const char* call, std::string_view text, std::int16_t at = 18) {
    return {call, text, {}, {read(Take::Digit, 0, at)}};
}
constexpr Field quoted(std::uint8_t arg, std::uint16_t limit) { return text(arg, ",\"", "\"", Omit::Rest, limit); }
constexpr Field padded(std::uint8_t arg, std::string_view before, std::string_view after) {
    return {Put::Padded2, arg, before, after};
}
constexpr Field indicator(std::uint8_t arg) { return {Put::OneDigit, arg, {}, ",", Omit::Place}; }

} // namespace

// clang-format off
// --- actions without values ---
const Command toObex{"KAVOR_AT_2_OBEX()", "^SQWE=3"};
const Command crmp{"KAVOR_AT_CRMP()", "+CRMP"};
const Command chup{"KAVOR_AT_CHUP()", "+CHUP"};

// --- one-value setters ---
const Command setCmut = setter("KAVOR_AT_Set_CMUT(%d)", "+CMUT=");
const Command setCalm = setter("KAVOR_AT_Set_CALM(%d)", "+CALM=");
const Command setCrsl = setter("KAVOR_AT_Set_CRSL(%d)", "+CRSL=");
const Command setClvl = setter("KAVOR_AT_Set_CLVL(%d)", "+CLVL=");
const Command setCtzu = setter("KAVOR_AT_Set_CTZU(%d)", "+CTZU=");
const Command setCtzr = setter("KAVOR_AT_Set_CTZR(%d)", "+CTZR=");
const Command setCmec = setter("KAVOR_AT_Set_CMEC(%d)", "+CMEC=");
const Command setClip = setter("KAVOR_AT_Set_CLIP(%d)", "+CLIP=");
const Command setColp = setter("KAVOR_AT_Set_COLP(%d)", "+COLP=");
const Command setCaoc = setter("KAVOR_AT_Set_CAOC(%d)", "+CAOC=");
const Command setSacm = setter("KAVOR_AT_Set_SACM(%d)", "^SACM=");
const Command setSlng = setter("KAVOR_AT_Set_SLNG(%d)", "^SLNG=");
const Command setSnfs = setter("KAVOR_AT_Set_SNFS(%d)", "^SNFS=");
const Command setSnfv = setter("KAVOR_AT_Set_SNFV(%d)", "^SNFV=");
const Command setSico = setter("KAVOR_AT_Set_SICO(%d)", "^SICO=");
const Command setCreg = setter("KAVOR_AT_Set_CREG()", "+CREG=");
const Command setSmso = setter("KAVOR_AT_Set_SMSO()", "^SMSO=", 12000);
const Command chld = setter("KAVOR_AT_CHLD()", "+CHLD=");
const Command setCbst = setter("KAVOR_AT_Set_CBST()", "+CBST=");
const Command setScks = setter("KAVOR_AT_Set_SCKS()", "^SCKS=");
const Command setCmee = setter("KAVOR_AT_Set_CMEE()", "+CMEE=");
const Command setCr = setter("KAVOR_AT_Set_CR()", "+CR=");

// --- setters with field rules of their own ---
const Command setCvib{"KAVOR_AT_Set_CVIB(%d)", "+CVIB=", {Field{Put::VibIndex, 0}}};
const Command setSkpd{"KAVOR_AT_Set_SKPD(%d)", "^SKPD=", {Field{Put::AllDigits, 0}}};
const Command setSrmp{"KAVOR_AT_Set_SRMP(%d, %d)", "^SRMP=", {Field{Put::UpToTwoDigits, 0}, oneDigit(1, ",", Omit::Rest)}};
// The keypad and display places carry one 0x00 byte each.
const Command setCmer{"KAVOR_AT_Set_CMER(%d, %d, %d)", "+CMER=", {oneDigit(0), oneDigit(1, ",\0,\0,"sv), oneDigit(2, ",")}};
const Command setCgerep{"KAVOR_AT_Set_CGEREP(%d, %d)", "+CGEREP=", {oneDigit(0), oneDigit(1, ",", Omit::Rest)}};
const Command setCssn{"KAVOR_AT_Set_CSSN(%d, %d)", "+CSSN=", {oneDigit(0), oneDigit(1, ",", Omit::Rest)}};
const Command setCkpd{"KAVOR_AT_Set_CKPD(Keys: %s, Time: %d, Pause: %d)", "+CKPD=",
                      {text(0, {}, {}, Omit::Never), Field{Put::AllDigits, 1, ",", {}, Omit::Rest},
                       Field{Put::AllDigits, 2, ",", {}, Omit::Rest}}};
const Command setCclk{"KAVOR_AT_Set_CCLK(Date = %0.2d/%0.2d/%0.2d\nTime = %0.2d:%0.2d:%0.2d\nTime Zone = %c%0.2d", "+CCLK=",
                      {padded(0, "\"", "/"), padded(1, {}, "/"), padded(2, {}, ","), padded(3, {}, ":"), padded(4, {}, ":"),
                       padded(5, {}, {}), Field{Put::ZoneSign, 6}, Field{Put::ZoneMagnitude, 6, {}, "\""}},
                      {}, 3000, false, CallArgs::ZoneSplit};
const Command setCind{"KAVOR_AT_Set_CIND()", "+CIND=",
                      {indicator(0), indicator(1), indicator(2), indicator(3), indicator(4), indicator(5), indicator(6), indicator(7)},
                      {}, 3000, true};
const Command setCgatt{"KAVOR_AT_Set_CGATT()", "+CGATT", {oneDigit(0, "=", Omit::Rest)}};
const Command setCops{"KAVOR_AT_Set_COPS()", "+COPS=", {oneDigit(0), oneDigit(1, ",", Omit::Rest), quoted(2, 16)}};
const Command setCscs{"KAVOR_AT_Set_CSCS()", "+CSCS", {text(0, "=\"", "\"", Omit::Rest, 16)}};
const Command setCpin{"KAVOR_AT_Set_CPIN()", "+CPIN=",
                      {Field{Put::PinDigits, 0, "\"", "\""}, Field{Put::ExactText, 1, ",\"", "\"", Omit::Rest, 4}}};
const Command setCsca{"KAVOR_AT_Set_CSCA()", "+CSCA=", {text(0, "\"", "\"", Omit::Never), quoted(1, 50)}};
const Command setCscb{"KAVOR_AT_Set_CSCB()", "+CSCB", {oneDigit(0, "=", Omit::Rest), quoted(1, 0), quoted(2, 0)}};
const Command cmss{"KAVOR_AT_CMSS()", "+CMSS=", {oneDigit(0), quoted(1, 12)}};
const Command setWs46{"KAVOR_AT_Set_WS46()", "+WS46", {Field{Put::TwoDigits, 0, "=", {}, Omit::Rest}}};
const Command setIpr{"KAVOR_AT_Set_IPR()", "+IPR=", {Field{Put::AllDigits, 0}}};

// --- getters that read at fixed places ---
const Command getCvib{"KAVOR_AT_Get_CVIB()", "+CVIB?", {}, {read(Take::DigitOrTwo, 0, 18)}};
const Command getCmut = digitGetter("KAVOR_AT_Get_CMUT()", "+CMUT?");
const Command getCalm = digitGetter("KAVOR_AT_Get_CALM()", "+CALM?");
const Command getCrsl = digitGetter("KAVOR_AT_Get_CRSL()", "+CRSL?");
const Command getClvl = digitGetter("KAVOR_AT_Get_CLVL()", "+CLVL?");
const Command getCtzu = digitGetter("KAVOR_AT_Get_CTZU()", "+CTZU?");
const Command getCtzr = digitGetter("KAVOR_AT_Get_CTZR()", "+CTZR?");
const Command getCmec = digitGetter("KAVOR_AT_Get_CMEC()", "+CMEC?");
const Command getClip = digitGetter("KAVOR_AT_Get_CLIP()", "+CLIP?");
const Command getCaoc = digitGetter("KAVOR_AT_Get_CAOC()", "+CAOC?");
const Command getSlng = digitGetter("KAVOR_AT_Get_SLNG()", "^SLNG?");
const Command getSnfs = digitGetter("KAVOR_AT_Get_SNFS()", "^SNFS?");
const Command getSnfv = digitGetter("KAVOR_AT_Get_SNFV()", "^SNFV?");
const Command getSico = digitGetter("KAVOR_AT_Get_SICO()", "^SICO?", 21);
const Command getColp{"KAVOR_AT_Get_COLP()", "+COLP?", {}, {read(Take::Digit, 0, 18), read(Take::Digit, 1, 20)}};
const Command getCssn{"KAVOR_AT_Get_CSSN()", "+CSSN?", {}, {read(Take::Digit, 0, 18), read(Take::Digit, 1, 20)}};
const Command getCgerep{"KAVOR_AT_Get_CGEREP()", "+CGEREP?", {}, {read(Take::Digit, 0, 22), read(Take::Digit, 1, 24)}};
const Command getCmer{"KAVOR_AT_Get_CMER()", "+CMER?", {},
                      {read(Take::Digit, 0, 18), read(Take::Digit, 1, 24), read(Take::Digit, 2, 26)}};
const Command getCclk{"KAVOR_AT_Get_CCLK()", "+CCLK?", {},
                      {read(Take::TwoDigit, 0, 19), read(Take::TwoDigit, 1, 22), read(Take::TwoDigit, 2, 25),
                       read(Take::TwoDigit, 3, 28), read(Take::TwoDigit, 4, 31), read(Take::TwoDigit, 5, 34),
                       read(Take::SignedTwoDigit, 6, 37)}};
const Command getCcwa{"KAVOR_AT_Get_CCWA()", "+CCWA?", {}, {read(Take::CharMinusZero, 0, 18)}};
const Command getCmee{"KAVOR_AT_Get_CMEE()", "+CMEE?", {}, {read(Take::Char, 0, 18)}};
const Command getCgatt{"KAVOR_AT_Get_CGATT()", "+CGATT?", {}, {read(Take::Char, 0, 20)}};
const Command getCgreg{"KAVOR_AT_Get_CGREG()", "+CGREG?", {}, {read(Take::Char, 0, 20), read(Take::Char, 1, 22)}};
const Command getCr{"KAVOR_AT_Get_CR()", "+CR?", {}, {read(Take::Char, 0, 14)}};
const Command getWs46{"KAVOR_AT_Get_WS46()", "+WS46?", {}, {read(Take::DigitsOnto, 0, 11)}};
// clang-format on

} // namespace kavor::at::rows
