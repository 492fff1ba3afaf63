/* t_C4DOS_Gd: dialogs.
 *
 * A module's dialog object asks the host for a HostDialog when it is
 * constructed and gives it back when it is destroyed. The host calls the
 * dialog only through its message hook; the framework layer turns each message
 * into the dialog's virtual operations. All slots run on the host's
 * user-interface thread. Strings passed in are borrowed and copied. */
#ifndef KWANTEL_TABLE_GD_H
#define KWANTEL_TABLE_GD_H

#include "host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The dialog's one hook. message (borrowed) carries DIALOG_MSG_* as its id;
 * result (borrowed, may be null) takes an answer. Returns the handler's
 * answer: nonzero for handled or true. */
typedef int32_t (*DialogMessageHook)(void *self, const HostContainer *message, HostContainer *result);

typedef struct HostDialogTable {
  uint64_t size;
  /* A new closed dialog that calls hook with self. Owned by the caller
   * until destroy, which closes its window first. Null when none. */
  HostDialog *(*create)(void *self, DialogMessageHook hook);
  void (*destroy)(HostDialog *dialog);

  /* Window */
  bool (*open)(HostDialog *dialog, int32_t type, int32_t pluginId, int32_t x, int32_t y, int32_t defaultWidth,
               int32_t defaultHeight, int32_t subId, int32_t flags);
  bool (*restore)(HostDialog *dialog, int32_t pluginId, int32_t subId, void *secret);
  bool (*close)(HostDialog *dialog);
  bool (*isOpen)(const HostDialog *dialog);
  bool (*setTitle)(HostDialog *dialog, const HostString *title);

  /* Menu bar */
  bool (*menuFlushAll)(HostDialog *dialog);
  bool (*menuSubBegin)(HostDialog *dialog, const HostString *title);
  bool (*menuAddString)(HostDialog *dialog, int32_t id, const HostString *text);
  bool (*menuSubEnd)(HostDialog *dialog);
  bool (*menuFinished)(HostDialog *dialog);

  /* Layout: gadgets are added to the innermost open group in call order. */
  bool (*groupBegin)(HostDialog *dialog, int32_t id, int32_t flags, int32_t columns, int32_t rows,
                     const HostString *title, int32_t groupFlags, int32_t initialWidth, int32_t initialHeight);
  bool (*groupBorderSpace)(HostDialog *dialog, int32_t left, int32_t top, int32_t right, int32_t bottom);
  bool (*groupBorder)(HostDialog *dialog, uint32_t style);
  bool (*groupEnd)(HostDialog *dialog);
  bool (*addStaticText)(HostDialog *dialog, int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight,
                        const HostString *text, int32_t borderStyle);
  bool (*addCheckbox)(HostDialog *dialog, int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight,
                      const HostString *text);
  bool (*addEditNumberArrows)(HostDialog *dialog, int32_t id, int32_t flags, int32_t initialWidth,
                              int32_t initialHeight);
  bool (*addComboBox)(HostDialog *dialog, int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight,
                      bool specialAlign, bool allowFiltering);
  bool (*addChild)(HostDialog *dialog, int32_t id, int32_t childValue, const HostString *text);
  bool (*addButton)(HostDialog *dialog, int32_t id, int32_t flags, int32_t initialWidth, int32_t initialHeight,
                    const HostString *text, int32_t buttonFlags);

  /* Values */
  bool (*setBool)(HostDialog *dialog, int32_t id, bool value);
  bool (*setInt32)(HostDialog *dialog, int32_t id, int32_t value, int32_t minimum, int32_t maximum, int32_t step);
  /* format is a four-character code with the first character in the most
   * significant byte ('fmet', 'fdgr', 'frea'). minimum2/maximum2 form a
   * second range (0 and 0: none); quadScale is a special scaling. */
  bool (*setFloat)(HostDialog *dialog, int32_t id, double value, double minimum, double maximum, double step,
                   int32_t format, double minimum2, double maximum2, bool quadScale);
  bool (*setString)(HostDialog *dialog, int32_t id, const HostString *text);
  /* Reads write to out and answer true; false for an unknown gadget. */
  bool (*getInt32)(const HostDialog *dialog, int32_t id, int32_t *out);
  bool (*getFloat)(const HostDialog *dialog, int32_t id, double *out);
  bool (*enable)(HostDialog *dialog, int32_t id, bool enabled);
} HostDialogTable;

#ifdef __cplusplus
}
#endif

#endif
