// Identifiers of the plug-in, its gadgets, menu items and resource strings.
#pragma once

#include <stdint.h>

namespace kwantel {

// The command, the dialog and the saved settings.
inline constexpr int32_t PLUGIN_ID = 1061771;

// Lowest host version the module accepts; also given with the registration.
#if defined(KWANTEL_FLAVOUR_MACOS)
inline constexpr int32_t API_VERSION = 2025200;
#else
inline constexpr int32_t API_VERSION = 2024900;
#endif

// Resource strings
inline constexpr int32_t IDS_PLUGIN_NAME = 10000;
inline constexpr int32_t IDS_ABOUT_TEXT = 10001;
inline constexpr int32_t IDS_PLUGIN_HELP = 10002;

// Buttons and options
inline constexpr int32_t ID_ROUND_BUTTON = 1001;
inline constexpr int32_t ID_CANCEL_BUTTON = 1002;
inline constexpr int32_t ID_SELECTION = 1003;
inline constexpr int32_t ID_WARNINGS = 1004;

// Setting gadgets; their ids are also the keys of the saved settings.
inline constexpr int32_t ID_ROUND_POSITION = 1100;
inline constexpr int32_t ID_POSITION_STEP = 1101;
inline constexpr int32_t ID_POSITION_MODE = 1102;
inline constexpr int32_t ID_ROUND_ROTATION = 1103;
inline constexpr int32_t ID_ROTATION_STEP = 1104;
inline constexpr int32_t ID_ROTATION_MODE = 1105;
inline constexpr int32_t ID_ROUND_SCALE = 1106;
inline constexpr int32_t ID_SCALE_STEP = 1107;
inline constexpr int32_t ID_SIZE_STEP = 1108;
inline constexpr int32_t ID_SIZE_MODE = 1109;
inline constexpr int32_t ID_SIZE_OR_SCALE = 1110;

// Labels the dialog addresses again
inline constexpr int32_t ID_SIZE_STEP_LABEL = 1111;
inline constexpr int32_t ID_SCALE_STEP_LABEL = 1112;
inline constexpr int32_t ID_MODE_LABEL = 1113;

// Menu items
inline constexpr int32_t ID_MENU_ABOUT = 5001;
inline constexpr int32_t ID_MENU_HELP_PDF = 5002;
inline constexpr int32_t ID_MENU_RELOAD = 5003;
inline constexpr int32_t ID_MENU_SAVE = 5004;
inline constexpr int32_t ID_MENU_RESET = 5005;

// Groups and every static text that is never addressed again
inline constexpr int32_t ID_STATIC = 5006;

}  // namespace kwantel
