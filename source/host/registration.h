/* The block that registers a command, exactly 384 bytes.
 *
 * The host calls the command only through these hooks; `object` is the
 * module's own pointer, passed back as the first argument of each. */
#ifndef KWANTEL_REGISTRATION_H
#define KWANTEL_REGISTRATION_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct CommandHooks {
  /* Runs the object's destructor; the host then releases the block with the
   * kernel's privateFreeWithDestructor. */
  void (*destroy)(void *object);
  bool (*execute)(void *object, HostDocument *document, void *parentWindow);
  bool (*executeSubId)(void *object, HostDocument *document, int32_t subId);
  bool (*executeOptionId)(void *object, HostDocument *document, int32_t subId);
  int32_t (*getState)(void *object, HostDocument *document, void *parentWindow);
  bool (*getSubContainer)(void *object, HostDocument *document, HostContainer *submenu);
  bool (*restoreLayout)(void *object, void *secret);
  /* A new string owned by the host, or null for an empty value. */
  HostString *(*getScriptName)(void *object);
  bool (*message)(void *object, int32_t type, void *data);
} CommandHooks;

enum { COMMAND_REGISTRATION_SIZE = 384 };

typedef struct CommandRegistration {
  int32_t info; /* information flags */
  int32_t reserved0;
  HostBitmap *icon;       /* borrowed for the call; the host copies it */
  const HostString *help; /* borrowed for the call; the host copies it */
  void *object;           /* passes to the host with a successful call */
  CommandHooks hooks;
  uint8_t reserved[COMMAND_REGISTRATION_SIZE - 32 - sizeof(CommandHooks)];
} CommandRegistration;

#ifdef __cplusplus
static_assert(sizeof(CommandRegistration) == COMMAND_REGISTRATION_SIZE, "the registration block is 384 bytes");
#endif

#ifdef __cplusplus
}
#endif

#endif
