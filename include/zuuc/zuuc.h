// zuuc421: Unicode text library. Include this one header to get the whole public API.
#ifndef ZUUC_ZUUC_H
#define ZUUC_ZUUC_H

#include "zuuc/export.h"
#include "zuuc/strings.h"
#include "zuuc/exceptions.h"
#include "zuuc/identifiers.h"
#include "zuuc/text_encoding.h"
#include "zuuc/char_encoding.h"
#include "zuuc/encoding_variation.h"
#include "zuuc/loader.h"
#include "zuuc/foundation.h"
#include "zuuc/behavior.h"
#include "zuuc/problems.h"
#include "zuuc/sources.h"
#include "zuuc/sinks.h"
#include "zuuc/transcoder.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/buffer_converters.h"
#include "zuuc/code_tables.h"
#include "zuuc/catalogue.h"
#include "zuuc/sbcs_encoding.h"
#include "zuuc/detector.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/utf8_encodings.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/unicode_encodings.h"
#include "zuuc/wide_string.h"
#include "zuuc/unicode_character.h"
#include "zuuc/character_test.h"

#endif
