// The base encoding numbers and the names of their TextEncodingID accessors.
// A number may have several accessor names (UTF16, Unicode20 and Unicode are
// all 2). The numbers are stable: callers store them.
//
// Written by tools/catalogue/catalogue.py: change the catalogue, not this file.
#ifndef ZUUC_ENCODING_ID_LIST_H
#define ZUUC_ENCODING_ID_LIST_H

#define ZUUC_TEXT_ENCODING_IDS(X) \
    X(  0, Unknown) \
    X(  1, Unicode11) \
    X(  2, UTF16) \
    X(  2, Unicode20) \
    X(  2, Unicode) \
    X(  3, ASCII) \
    X(  4, Big5) \
    X(  5, ChineseAutoDetect) \
    X(  6, CNS11643EUC) \
    X(  7, CP1251) \
    X(  8, CP1252) \
    X(  9, EUCKR) \
    X( 10, EUCPkdFmtJapanese) \
    X( 11, GB2312) \
    X( 12, HalfWidthKatakana) \
    X( 13, HZGB2312) \
    X( 14, ISO2022JP) \
    X( 15, ISO2022KR) \
    X( 16, ISO87JISX0208) \
    X( 17, ISOLatin1) \
    X( 18, ISOLatin2) \
    X( 19, ISOLatin3) \
    X( 20, ISOLatin4) \
    X( 21, ISOLatin5) \
    X( 22, ISOLatin6) \
    X( 23, ISOLatinArabic) \
    X( 24, ISOLatinCyrillic) \
    X( 25, ISOLatinGreek) \
    X( 26, ISOLatinHebrew) \
    X( 27, ISOLatinThai) \
    X( 28, JapaneseAutoDetect) \
    X( 29, KoreanAutoDetect) \
    X( 30, CP850) \
    X( 30, PC850Multilingual) \
    X( 31, CP437) \
    X( 31, PC8CodePage437) \
    X( 32, ShiftJIS78) \
    X( 33, ShiftJISMS) \
    X( 34, CNS11643_1986_EUC) \
    X( 35, IBM037) \
    X( 36, EBCDIK) \
    X( 37, CP949) \
    X( 38, CP10001) \
    X( 39, CP37) \
    X( 40, CP500) \
    X( 41, CP708) \
    X( 42, CP720) \
    X( 43, CP737) \
    X( 44, CP775) \
    X( 45, CP852) \
    X( 46, CP855) \
    X( 47, CP857) \
    X( 48, CP860) \
    X( 49, CP861) \
    X( 50, CP862) \
    X( 51, CP863) \
    X( 52, CP864) \
    X( 53, CP865) \
    X( 54, CP866) \
    X( 55, CP869) \
    X( 56, CP870) \
    X( 57, CP874) \
    X( 58, CP875) \
    X( 59, CP936) \
    X( 60, CP950) \
    X( 61, CP1026) \
    X( 62, CP1250) \
    X( 63, CP1253) \
    X( 64, CP1254) \
    X( 65, CP1255) \
    X( 66, CP1256) \
    X( 67, CP1257) \
    X( 68, CP1258) \
    X( 69, CP1361) \
    X( 70, CP10000) \
    X( 71, CP10002) \
    X( 72, CP10003) \
    X( 73, CP10004) \
    X( 74, CP10005) \
    X( 75, CP10006) \
    X( 76, CP10007) \
    X( 77, CP10008) \
    X( 78, CP10010) \
    X( 79, CP10017) \
    X( 80, CP10029) \
    X( 81, CP10079) \
    X( 82, CP10081) \
    X( 83, CP10082) \
    X( 84, CP20105) \
    X( 85, CP20261) \
    X( 86, CP20269) \
    X( 87, CP20273) \
    X( 88, CP20277) \
    X( 89, CP20278) \
    X( 90, CP20280) \
    X( 91, CP20284) \
    X( 92, CP20285) \
    X( 93, CP20290) \
    X( 94, CP20297) \
    X( 95, CP20420) \
    X( 96, CP20423) \
    X( 97, CP20833) \
    X( 98, CP20838) \
    X( 99, CP20866) \
    X(100, CP20871) \
    X(101, CP20880) \
    X(102, CP20905) \
    X(103, CP21025) \
    X(104, CP21027) \
    X(105, CP28592) \
    X(106, CP28593) \
    X(107, CP28594) \
    X(108, CP28595) \
    X(109, CP28596) \
    X(110, CP28597) \
    X(111, CP28598) \
    X(112, CP28599) \
    X(113, AdobeStandardEncoding) \
    X(114, HPPSMath) \
    X(115, ZapfDingbats) \
    X(116, MacCentralEuropean) \
    X(117, MacChineseSimplified) \
    X(118, MacChineseTraditional) \
    X(119, MacCroatian) \
    X(120, MacCyrillic) \
    X(121, MacDevanagari) \
    X(122, MacDingbats) \
    X(123, MacGreek) \
    X(124, MacGurmukhi) \
    X(125, MacIcelandic) \
    X(126, MacJapanese) \
    X(127, MacKorean) \
    X(128, MacRoman) \
    X(129, MacRomanian) \
    X(130, MacSymbol) \
    X(131, MacThai) \
    X(132, MacTurkish) \
    X(133, MacUkrainian) \
    X(134, NextStep) \
    X(135, ISOLatin8) \
    X(136, ISOLatin9) \
    X(137, MacGujarati) \
    X(138, GB12345) \
    X(139, CCSID290) \
    X(140, CCSID942) \
    X(141, CCSID1027) \
    X(142, CP21866) \
    X(143, CP28591) \
    X(144, CP38598) \
    X(145, Johab) \
    X(146, IBM_83_4040) \
    X(147, IBM_83_4242) \
    X(148, JEF_78_4040) \
    X(149, JEF_78_A1A1) \
    X(150, JEF_83_4040) \
    X(151, JEF_83_A1A1) \
    X(152, KEIS_78_4040) \
    X(153, KEIS_78_A1A1) \
    X(154, KEIS_83_4040) \
    X(155, KEIS_83_A1A1) \
    X(156, CCSID1047) \
    X(157, CCSID930) \
    X(158, CCSID935) \
    X(159, CCSID300) \
    X(160, CCSID937) \
    X(161, CCSID939) \
    X(162, Big5Plus) \
    X(163, ISOLatin7) \
    X(164, GB18030) \
    X(165, ISO2022CN) \
    X(166, Roman8) \
    X(167, EUCJPJISRoman) \
    X(168, HKSCS) \
    X(169, UTF32) \
    X(170, ShiftJISMSRoundtrip) \
    X(171, ISO2022JPRoundtrip) \
    X(172, EUCJPJISRomanRoundtrip) \
    X(173, EUCPkdFmtJapaneseRoundtrip) \
    X(174, ShiftJIS78Roundtrip) \
    X(175, MacArabic) \
    X(176, MacHebrew) \
    X(177, VISCII) \
    X(178, TCVN) \
    X(179, VIQR) \
    X(180, VNI) \
    X(181, VPS) \
    X(182, ISCIIDevanagari) \
    X(183, ISCIIBengali) \
    X(184, ISCIIGujarati) \
    X(185, ISCIIKannada) \
    X(186, ISCIIMalayalam) \
    X(187, ISCIITelugu) \
    X(188, ISCIITamil) \
    X(189, ShiftJIS2004) \
    X(190, CCSID1390)

// The variation numbers and the names of their EncodingVariationID accessors.
#define ZUUC_ENCODING_VARIATION_IDS(X) \
    X(0, None) \
    X(1, ByteOrderMark) \
    X(2, UTF7) \
    X(3, UTF8) \
    X(4, BigEndian) \
    X(5, LittleEndian) \
    X(6, PlatformByteOrder) \
    X(7, Java) \
    X(8, HPPrinter) \
    X(9, UTF8EBCDIC)

#endif
