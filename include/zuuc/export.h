// Symbol visibility for the zuuc421 library.
#ifndef ZUUC_EXPORT_H
#define ZUUC_EXPORT_H

#if defined(_WIN32)
#if defined(ZUUC_BUILDING_LIBRARY)
#define ZUUC_EXPORT __declspec(dllexport)
#else
#define ZUUC_EXPORT __declspec(dllimport)
#endif
#else
#define ZUUC_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define ZUUC_EXTERN_C extern "C"
#define ZUUC_BEGIN_C extern "C" {
#define ZUUC_END_C }
#else
#define ZUUC_EXTERN_C
#define ZUUC_BEGIN_C
#define ZUUC_END_C
#endif

#endif
