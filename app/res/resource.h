// Resource ids of the program (and of every language library, which uses the same ids).
#pragma once

#define IDS_PRODUCT_NAME          100
#define IDS_RESTARTING_DRIVER     104
#define IDS_RESTART_FAILED        105
#define IDS_DRIVER_IN_USE         106
#define IDS_DRIVER_IN_USE_RETRY   107
#define IDS_DRIVER_NOT_INSTALLED  108
#define IDS_STOP                  109
#define IDS_NO_UPDATES            110
#define IDS_UPDATER_NAME          111
#define IDS_UPDATE_OFFER          112
#define IDS_ONE_CHANNEL           114
#define IDS_TWO_CHANNELS          115
#define IDS_THREE_CHANNELS        116
#define IDS_ABOUT                 118
#define IDS_GENERAL               120
#define IDS_DRIVER                121
#define IDS_PREFERENCES           122
#define IDS_APP_TITLE             123
#define IDS_VERSION_LABEL         124
#define IDS_START                 125
#define IDS_ERROR                 201
#define IDS_HINT                  202
#define IDS_MB_OK                 9001
#define IDS_MB_CANCEL             9002
#define IDS_MB_HELP               9006
#define IDS_MB_YES                9007
#define IDS_MB_NO                 9008
