/* KV Quillbridge: the interface a host program calls. Usable from C and C++. */
#ifndef QUILLBRIDGE_H
#define QUILLBRIDGE_H

#include <stdint.h>
#ifndef __cplusplus
#include <uchar.h>
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define QUILLBRIDGE_CALL __stdcall
#else
#define QUILLBRIDGE_CALL
#endif

#if defined(_WIN32)
#define QUILLBRIDGE_EXPORT
#else
#define QUILLBRIDGE_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Always 65538: 1 in the high 16 bits, 2 in the low 16 bits. */
QUILLBRIDGE_EXPORT int32_t QUILLBRIDGE_CALL QuillbridgeVersion(void);

/* Opens the lookup window with a NUL-terminated UTF-16 word (or NULL for none)
 * and returns when the user closes it: 0, or -1 when the window could not be
 * shown. Call it from any thread, one call at a time. */
QUILLBRIDGE_EXPORT int32_t QUILLBRIDGE_CALL QuillbridgeRun(const char16_t* pszWord);

#ifdef __cplusplus
}
#endif

#endif /* QUILLBRIDGE_H */
