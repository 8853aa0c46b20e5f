// The string ids from 300 on, moved to ids the program never loads: a language library built with
// this after resource.h lacks them.
#undef IDS_CHANNEL_NOT_STARTED
#undef IDS_CHOOSE_INPUT
#undef IDS_CHOOSE_OUTPUT
#undef IDS_BAD_BUFFER_NUM
#undef IDS_BAD_BUFFER_LENGTH
#undef IDS_BAD_CHANNELS
#undef IDS_BAD_BITS
#undef IDS_BAD_SAMPLE_RATE
#undef IDS_NO_WORKER
#undef IDS_NO_BUFFER_MEMORY
#undef IDS_INPUT_NOT_OPENED
#undef IDS_OUTPUT_NOT_OPENED
#undef IDS_CHANGE_ON_GENERAL_PAGE
#undef IDS_BAD_BUFFER_COUNT
#undef IDS_INSTALLER_NOT_STARTED
#undef IDS_RELAUNCH_FAILED
#define IDS_CHANNEL_NOT_STARTED   4300
#define IDS_CHOOSE_INPUT          4301
#define IDS_CHOOSE_OUTPUT         4302
#define IDS_BAD_BUFFER_NUM        4303
#define IDS_BAD_BUFFER_LENGTH     4304
#define IDS_BAD_CHANNELS          4305
#define IDS_BAD_BITS              4306
#define IDS_BAD_SAMPLE_RATE       4307
#define IDS_NO_WORKER             4308
#define IDS_NO_BUFFER_MEMORY      4309
#define IDS_INPUT_NOT_OPENED      4310
#define IDS_OUTPUT_NOT_OPENED     4311
#define IDS_CHANGE_ON_GENERAL_PAGE 4312
#define IDS_BAD_BUFFER_COUNT      4313
#define IDS_INSTALLER_NOT_STARTED 4314
#define IDS_RELAUNCH_FAILED       4315
