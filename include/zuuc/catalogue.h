// The accessors of the catalogue's table-driven encodings.
//
// Every catalogue encoding is one process-wide object returned by a static
// accessor of CharEncoding (CharEncoding::CP1252() and so on). The lists
// below name the accessors of each encoding class in creation order, which is
// also the order in which they register for lookups; CharEncoding declares
// its accessors from them, and a caller may expand them to visit every entry:
//
//   #define VISIT(accessor, id) Use(CharEncoding::accessor());
//   ZUUC_SBCS_CATALOGUE(VISIT)
//
// Each list agrees with the catalogue data the library is built from: an
// accessor missing here does not compile, one too many does not link.
//
// Written by tools/catalogue/catalogue.py: change the catalogue, not this file.
#ifndef ZUUC_CATALOGUE_H
#define ZUUC_CATALOGUE_H

// The single-byte encodings (class SBCSEncoding, zuuc/sbcs_encoding.h):
// X(accessor, base encoding number).
#define ZUUC_SBCS_CATALOGUE(X) \
    X(PC8CodePage437, 31) \
    X(PC850Multilingual, 30) \
    X(ASCII, 3) \
    X(ISCIITamil, 188) \
    X(ISCIIGujarati, 184) \
    X(VPS, 181) \
    X(TCVN, 178) \
    X(VISCII, 177) \
    X(Roman8, 166) \
    X(CP38598, 144) \
    X(CP28591, 143) \
    X(CP21866, 142) \
    X(ISOLatinThai, 27) \
    X(ISOLatinHebrew, 26) \
    X(ISOLatinGreek, 25) \
    X(ISOLatinCyrillic, 24) \
    X(ISOLatinArabic, 23) \
    X(ISOLatin9, 136) \
    X(ISOLatin8, 135) \
    X(ISOLatin7, 163) \
    X(ISOLatin6, 22) \
    X(ISOLatin5, 21) \
    X(ISOLatin4, 20) \
    X(ISOLatin3, 19) \
    X(ISOLatin2, 18) \
    X(ISOLatin1, 17) \
    X(IBM037, 35) \
    X(HalfWidthKatakana, 12) \
    X(CP1252, 8) \
    X(CP1251, 7) \
    X(ZapfDingbats, 115) \
    X(NextStep, 134) \
    X(MacUkrainian, 133) \
    X(MacTurkish, 132) \
    X(MacThai, 131) \
    X(MacSymbol, 130) \
    X(MacRomanian, 129) \
    X(MacRoman, 128) \
    X(MacIcelandic, 125) \
    X(MacGurmukhi, 124) \
    X(MacGujarati, 137) \
    X(MacGreek, 123) \
    X(MacHebrew, 176) \
    X(MacArabic, 175) \
    X(MacDingbats, 122) \
    X(MacDevanagari, 121) \
    X(MacCyrillic, 120) \
    X(MacCroatian, 119) \
    X(MacCentralEuropean, 116) \
    X(HPPSMath, 114) \
    X(CP875, 58) \
    X(CP874, 57) \
    X(CP870, 56) \
    X(CP869, 55) \
    X(CP866, 54) \
    X(CP865, 53) \
    X(CP864, 52) \
    X(CP863, 51) \
    X(CP862, 50) \
    X(CP861, 49) \
    X(CP860, 48) \
    X(CP857, 47) \
    X(CP855, 46) \
    X(CP852, 45) \
    X(CP775, 44) \
    X(CP737, 43) \
    X(CP720, 42) \
    X(CP708, 41) \
    X(CP500, 40) \
    X(CP28599, 112) \
    X(CP28598, 111) \
    X(CP28597, 110) \
    X(CP28596, 109) \
    X(CP28595, 108) \
    X(CP28594, 107) \
    X(CP28593, 106) \
    X(CP28592, 105) \
    X(CP21027, 104) \
    X(CP21025, 103) \
    X(CP20905, 102) \
    X(CP20880, 101) \
    X(CP20871, 100) \
    X(CP20866, 99) \
    X(CP20838, 98) \
    X(CP20833, 97) \
    X(CP20423, 96) \
    X(CP20420, 95) \
    X(CP20297, 94) \
    X(CP20290, 93) \
    X(CP20285, 92) \
    X(CP20284, 91) \
    X(CP20280, 90) \
    X(CP20278, 89) \
    X(CP20277, 88) \
    X(CP20273, 87) \
    X(CP20269, 86) \
    X(CP20261, 85) \
    X(CP20105, 84) \
    X(CP1258, 68) \
    X(CP1257, 67) \
    X(CP1256, 66) \
    X(CP1255, 65) \
    X(CP1254, 64) \
    X(CP1253, 63) \
    X(CP1250, 62) \
    X(CP1026, 61) \
    X(CP10082, 83) \
    X(CP10081, 82) \
    X(CP10079, 81) \
    X(CP10029, 80) \
    X(CP10017, 79) \
    X(CP10010, 78) \
    X(CP10007, 76) \
    X(CP10006, 75) \
    X(CP10005, 74) \
    X(CP10004, 73) \
    X(CP10000, 70) \
    X(CCSID1047, 156) \
    X(CCSID1027, 141) \
    X(CCSID290, 139) \
    X(AdobeStandardEncoding, 113)

// The number of entries in ZUUC_SBCS_CATALOGUE.
#define ZUUC_SBCS_CATALOGUE_COUNT 121

// The multi-byte encodings (class MBCSEncoding, zuuc/mbcs_encoding.h):
// X(accessor, base encoding number).
#define ZUUC_MBCS_CATALOGUE(X) \
    X(ShiftJIS2004, 189) \
    X(ISCIITelugu, 187) \
    X(ISCIIMalayalam, 186) \
    X(Johab, 145) \
    X(ShiftJIS78Roundtrip, 174) \
    X(ShiftJIS78, 32) \
    X(ShiftJISMSRoundtrip, 170) \
    X(ShiftJISMS, 33) \
    X(ISO87JISX0208, 16) \
    X(GB2312, 11) \
    X(EUCJPJISRoman, 167) \
    X(EUCPkdFmtJapanese, 10) \
    X(EUCJPJISRomanRoundtrip, 172) \
    X(EUCPkdFmtJapaneseRoundtrip, 173) \
    X(EUCKR, 9) \
    X(CNS11643_1986_EUC, 34) \
    X(CNS11643EUC, 6) \
    X(MacKorean, 127) \
    X(MacJapanese, 126) \
    X(MacChineseTraditional, 118) \
    X(MacChineseSimplified, 117) \
    X(GB12345, 138) \
    X(CP950, 60) \
    X(CP949, 37) \
    X(CP936, 59) \
    X(CP1361, 69) \
    X(CP10008, 77) \
    X(CP10003, 72) \
    X(CP10002, 71) \
    X(CP10001, 38) \
    X(CCSID942, 140) \
    X(CCSID300, 159) \
    X(HKSCS, 168) \
    X(Big5Plus, 162) \
    X(Big5, 4)

// The number of entries in that list.
#define ZUUC_MBCS_CATALOGUE_COUNT 35

// The look-ahead multi-byte encodings (class MBCSLookAheadEncoding, zuuc/mbcs_encoding.h):
// X(accessor, base encoding number).
#define ZUUC_MBCS_LOOKAHEAD_CATALOGUE(X) \
    X(ISCIIKannada, 185) \
    X(ISCIIBengali, 183) \
    X(ISCIIDevanagari, 182) \
    X(VNI, 180) \
    X(VIQR, 179)

// The number of entries in that list.
#define ZUUC_MBCS_LOOKAHEAD_CATALOGUE_COUNT 5

// The modal encodings (class ModalEncoding, zuuc/modal_encoding.h):
// X(accessor, base encoding number).
#define ZUUC_MODAL_ENCODING_CATALOGUE(X) \
    X(ISO2022KR, 15) \
    X(ISO2022JPRoundtrip, 171) \
    X(ISO2022JP, 14) \
    X(ISO2022CN, 165) \
    X(CCSID1390, 190) \
    X(CCSID939, 161) \
    X(CCSID937, 160) \
    X(CCSID935, 158) \
    X(CCSID930, 157)

// The number of entries in that list.
#define ZUUC_MODAL_ENCODING_CATALOGUE_COUNT 9

// The mixed block range encodings (class MixedBlockRangeEncoding, zuuc/range_encoding.h):
// X(accessor, base encoding number).
#define ZUUC_MIXED_RANGE_CATALOGUE(X) \
    X(GB18030, 164)

// The number of entries in that list.
#define ZUUC_MIXED_RANGE_CATALOGUE_COUNT 1

// One more encoding has an accessor outside these lists:
// CharEncoding::HZGB2312() (class HZEncoding, zuuc/modal_encoding.h), which
// has no tables of its own and converts through GB2312; it is created right
// after the catalogue.

#endif
