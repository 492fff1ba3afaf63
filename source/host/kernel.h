/* The host kernel's interface.
 *
 * The host fills ModuleInfo.kernel (see module_info.h) before the first call
 * of c4d_main; the module reaches every kernel service through it. All slots
 * are non-null and may be called on the host's user-interface thread only. */
#ifndef KWANTEL_KERNEL_H
#define KWANTEL_KERNEL_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct KernelInterface {
  uint64_t size;

  /* Memory. A block from allocClear is zero-filled and owned by the caller
   * until it is handed to privateFreeWithDestructor, which runs destructor
   * (when non-null) on the block and then releases it. Returns null when no
   * memory is left. */
  void *(*allocClear)(uint64_t bytes);
  void (*privateFreeWithDestructor)(void *block, HostDestructor destructor);

  /* Strings. setCString returns a new string with one reference, owned by the
   * caller (utf8 need not be terminated; length is in bytes). addReference
   * and free raise and drop a reference; the last free releases the string.
   * getAndCacheConstString returns a string the host keeps until it ends:
   * borrowed, never freed by the module. concat returns a new owned string. */
  HostString *(*setCString)(const char *utf8, uint64_t length);
  const HostString *(*getAndCacheConstString)(const char *utf8);
  void (*addReference)(const HostString *text);
  void (*free)(const HostString *text);
  HostString *(*concat)(const HostString *left, const HostString *right);
  /* Copies at most capacity - 1 bytes of UTF-8 and a terminating zero;
   * returns the full length in bytes. */
  uint64_t (*getUtf8)(const HostString *text, char *buffer, uint64_t capacity);

  /* Logging. findLogger returns a borrowed logger or null ("no logger, no
   * output"). write takes the text as borrowed; file is the source file of the
   * writing statement. */
  HostLogger *(*findLogger)(const char *id);
  void (*write)(HostLogger *logger, int32_t audience, const HostString *text, const char *file, int32_t line,
                int32_t meta);
  /* The framework layer's assertion diagnostic; text is borrowed. */
  void (*assertion)(const char *text, const char *file, int32_t line);

  /* Application locations. privateGetUrl writes the location of urlType into
   * out, a filename the caller created through the Fn table; moduleInfo is
   * the asking module's g_maxon. Returns false when the host has none. */
  bool (*privateGetUrl)(int32_t urlType, const char *framework, const void *moduleInfo, HostFilename *out);
} KernelInterface;

#ifdef __cplusplus
}
#endif

#endif
