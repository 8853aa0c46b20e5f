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
#define IDS_CHANNEL_NOT_STARTED   300
#define IDS_CHOOSE_INPUT          301
#define IDS_CHOOSE_OUTPUT         302
#define IDS_BAD_BUFFER_NUM        303
#define IDS_BAD_BUFFER_LENGTH     304
#define IDS_BAD_CHANNELS          305
#define IDS_BAD_BITS              306
#define IDS_BAD_SAMPLE_RATE       307
#define IDS_NO_WORKER             308
#define IDS_NO_BUFFER_MEMORY      309
#define IDS_INPUT_NOT_OPENED      310
#define IDS_OUTPUT_NOT_OPENED     311
#define IDS_CHANGE_ON_GENERAL_PAGE 312
#define IDS_BAD_BUFFER_COUNT      313
#define IDS_INSTALLER_NOT_STARTED 314
#define IDS_RELAUNCH_FAILED       315
#define IDS_MB_OK                 9001
#define IDS_MB_CANCEL             9002
#define IDS_MB_HELP               9006
#define IDS_MB_YES                9007
#define IDS_MB_NO                 9008

// Icons
#define IDI_APP                   128
#define IDI_PITCH                 218

// The main dialog and its controls
#define IDD_MAIN                  129
#define IDC_INPUT1                1001
#define IDC_CHANNEL_COUNT         1002
#define IDC_OUTPUT1               1003
#define IDC_INPUT2                1004
#define IDC_OUTPUT2               1005
#define IDC_INPUT3                1006
#define IDC_OUTPUT3               1007
#define IDC_SEPARATOR             1021
#define IDC_START1                1022
#define IDC_CAPTURE_METER1        1023
#define IDC_PLAYBACK_METER1       1024
#define IDC_START2                1025
#define IDC_CAPTURE_METER2        1026
#define IDC_PLAYBACK_METER2       1027
#define IDC_START3                1028
#define IDC_CAPTURE_METER3        1029
#define IDC_PLAYBACK_METER3       1030
#define IDC_PITCH1                1031
#define IDC_PITCH2                1032
#define IDC_PITCH3                1033
#define IDC_LEFT_METER1           1034
#define IDC_RIGHT_METER1          1035
#define IDC_LEFT_METER2           1036
#define IDC_RIGHT_METER2          1037
#define IDC_LEFT_METER3           1038
#define IDC_RIGHT_METER3          1039
#define IDC_MAIN_PAGE             1040
#define ID_APP_ABOUT              0xE140
#define ID_APP_OPTIONS            0xE141
#ifndef IDC_STATIC
#define IDC_STATIC                (-1)
#endif
