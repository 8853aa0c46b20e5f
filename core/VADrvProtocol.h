/* The control channel between the manager and the virtual audio driver: the interface class, the
   reference string that selects the channel, the request codes and their records. Plain C, shared
   by the manager and by our substitute driver (which includes it after the DDK headers). */
#pragma once

/* Device-interface class of the driver's control channel. */
#define VADRV_INTERFACE_GUID_INIT \
    {0x7a3f5c21, 0x9d4e, 0x4b80, {0xa6, 0x1c, 0x2e, 0x95, 0xd0, 0x47, 0xb3, 0x6f}}
static const GUID GUID_VADRV_INTERFACE = VADRV_INTERFACE_GUID_INIT;

/* Appended to the interface path ("<path>\<reference>") to open the control channel. */
#define VADRV_REFERENCE_STRING_A "4c9e1f27-6b3a-4e85-a0d4-7f2b9c61e358"
#define VADRV_REFERENCE_STRING_W L"4c9e1f27-6b3a-4e85-a0d4-7f2b9c61e358"
#define VADRV_REFERENCE_CHARS 36

/* Hardware id of the root-enumerated device ("devcon restart Kestro_WDM"). */
#define VADRV_HARDWARE_ID_W L"Kestro_WDM"

/* Every input record begins with this version word. */
#define VADRV_INTERFACE_VERSION 2u

/* CTL_CODE(FILE_DEVICE_UNKNOWN, function, METHOD_BUFFERED, FILE_ANY_ACCESS) */
#define VADRV_CTL_CODE(function) ((0x22u << 16) | ((function) << 2))
#define IOCTL_VADRV_GET_INFO VADRV_CTL_CODE(0x801u)            /* 0x222004 */
#define IOCTL_VADRV_GET_INSTANCE_INFO VADRV_CTL_CODE(0x802u)   /* 0x222008 */
#define IOCTL_VADRV_SET_INSTANCE_COUNT VADRV_CTL_CODE(0x803u)  /* 0x22200C */
#define IOCTL_VADRV_SET_INSTANCE_VOLUME VADRV_CTL_CODE(0x804u) /* 0x222010 */

#define VADRV_DRIVER_INFO_BYTES 24
#define VADRV_INSTANCE_INFO_BYTES 88
#define VADRV_MAX_INSTANCES 32u

typedef struct VADRV_VERSION_INPUT
{
    unsigned int version;
} VADRV_VERSION_INPUT;

typedef struct VADRV_INDEX_INPUT /* GET_INSTANCE_INFO: instance index; SET_INSTANCE_COUNT: count */
{
    unsigned int version;
    unsigned int value;
} VADRV_INDEX_INPUT;

typedef struct VADRV_VOLUME_INPUT
{
    unsigned int version;
    unsigned int index;
    unsigned char enabled; /* 1 on, 0 off */
    unsigned char reserved[3];
} VADRV_VOLUME_INPUT;

typedef struct VADRV_DRIVER_INFO
{
    unsigned int version;      /* the driver's interface version */
    unsigned int maxInstances; /* largest instance count it accepts */
    unsigned int reserved[2];
    unsigned int instanceCount; /* active since the device started */
    unsigned int inUse;         /* non-zero: an application uses the device */
} VADRV_DRIVER_INFO;

typedef struct VADRV_INSTANCE_INFO
{
    unsigned int volumeControl; /* non-zero on */
    unsigned int index;
    unsigned char reserved[80];
} VADRV_INSTANCE_INFO;

/* Requests of the substitute driver for tests only; they take a VADRV_TEST_CONTROL or give a
   VADRV_TEST_RECORD. They are also answered at "<path>\test", which stays open when the channel's
   own name is refused. */
#define IOCTL_VADRV_TEST_CONTROL VADRV_CTL_CODE(0x8F0u)
#define IOCTL_VADRV_TEST_READ_RECORD VADRV_CTL_CODE(0x8F1u)
#define VADRV_TEST_LINK_A "test"
#define VADRV_TEST_NO_FAILURE 0xFFFFFFFFu
#define VADRV_TEST_RECORD_ENTRIES 48

typedef struct VADRV_TEST_CONTROL
{
    unsigned int version;
    unsigned int inUse;              /* reported by GET_INFO */
    unsigned int refuseOpens;        /* non-zero: the channel's name is removed, opens fail */
    unsigned int failVolumeIndex;    /* SET_INSTANCE_VOLUME for this index fails (or NO_FAILURE) */
    unsigned int clearRecord;        /* non-zero: forget the requests received so far */
} VADRV_TEST_CONTROL;

typedef struct VADRV_TEST_ENTRY
{
    unsigned int code;
    unsigned int inputBytes;  /* as sent */
    int status;               /* the NTSTATUS the request was completed with */
    unsigned char input[16];  /* the first input bytes */
} VADRV_TEST_ENTRY;

typedef struct VADRV_TEST_RECORD
{
    unsigned int starts;        /* device starts since the driver was installed */
    unsigned int opens;         /* IRP_MJ_CREATE received */
    unsigned int entryCount;    /* requests received (entries beyond the table are counted only) */
    unsigned int pendingCount;  /* instance count stored for the next start */
    unsigned int pendingVolume; /* bit i: volume flag of instance i stored for the next start */
    VADRV_TEST_ENTRY entries[VADRV_TEST_RECORD_ENTRIES];
} VADRV_TEST_RECORD;
