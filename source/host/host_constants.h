/* Numbers the host and the module agree on. */
#ifndef KWANTEL_HOST_CONSTANTS_H
#define KWANTEL_HOST_CONSTANTS_H

#ifdef __cplusplus
extern "C" {
#endif

/* c4d_main actions and their answers */
enum {
  HOST_ACTION_BIND = 1,
  HOST_ACTION_START = 2,
  HOST_ACTION_END = 3,
  HOST_ACTION_PROTOCOL = 4,
  HOST_ACTION_MESSAGE = 6,
  HOST_RESULT_DONE = 1,
  HOST_RESULT_FAILED = 0,
  HOST_RESULT_NOT_HANDLED = -1,
  HOST_RESULT_REFUSED = -3,
  HOST_PROTOCOL_NUMBER = 5
};

/* Messages delivered through HOST_ACTION_MESSAGE */
enum { HOST_MESSAGE_NONE = 0, HOST_MESSAGE_LOAD_RESOURCES = 1 };

/* Object and tag types */
enum { POINT_OBJECT_TYPE = 5156, POINT_TAG_TYPE = 5600 };

/* UNDOTYPE */
enum { UNDOTYPE_CHANGE = 40 };

/* Object messages */
enum { MSG_UPDATE_CODE = 5 };

/* EVENT */
enum { EVENT_FORCEREDRAW = 1 };

/* GETACTIVEOBJECTFLAGS */
enum { GETACTIVEOBJECTFLAGS_NONE = 0, GETACTIVEOBJECTFLAGS_CHILDREN = 1 };

/* PLUGINTYPE */
enum { PLUGINTYPE_COMMAND = 4 };

/* DLG_TYPE */
enum { DLG_TYPE_ASYNC = 20 };

/* GEMB: message box styles */
enum { GEMB_OK = 0, GEMB_ICONEXCLAMATION = 48 };

/* IMAGERESULT */
enum { IMAGERESULT_OK = 1, IMAGERESULT_NOTEXISTING = -1, IMAGERESULT_WRONGTYPE = 2, IMAGERESULT_FILEERROR = 3 };

/* Bitmap properties and host data types */
enum { BITMAP_PROPERTY_PIXEL_RATIO = 100, HOST_DATATYPE_FLOAT = 19 };

/* TARGETAUDIENCE and WRITEMETA of the default logger */
enum { TARGETAUDIENCE_ALL = 14, WRITEMETA_DEFAULT = 1 };

/* APPLICATION_URLTYPE */
enum { APPLICATION_URLTYPE_CORELIBS_DIR = 3 };

/* Directories the general table hands out */
enum { HOST_DIRECTORY_STARTUP = 0 };

/* Command state bits */
enum { CMD_ENABLED = 0x40000000 };

/* Dialog messages the host sends through DialogHooks.message; the container
 * id is the message id. */
enum {
  DIALOG_MSG_LAYOUT = 1,  /* build the window's gadgets */
  DIALOG_MSG_INIT = 2,    /* fill the gadgets with values */
  DIALOG_MSG_CORE = 3,    /* a core message, key DIALOG_KEY_ID */
  DIALOG_MSG_COMMAND = 4, /* a gadget or menu action, key DIALOG_KEY_ID */
  DIALOG_MSG_ASK_CLOSE = 5,
  DIALOG_MSG_DESTROY = 6, /* the window is gone */
  DIALOG_MSG_TIMER = 7
};
enum { DIALOG_KEY_ID = 1 };

/* Border style bit the host expects on GroupBorder */
#define HOST_BORDER_WITH_TITLE_BIT 0x80000000u

#ifdef __cplusplus
}
#endif

#endif
