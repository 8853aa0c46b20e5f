/* Substitute for the virtual audio driver: a root-enumerated WDM function driver that offers the
   control channel's device interface and answers its four requests. The instance count and the
   volume flags are stored in the service's Parameters key and become active at the next start,
   as with the real driver. A few private requests let the tests look inside. */
#include <ntddk.h>

#include "core/VADrvProtocol.h"

#define POOL_TAG 0x56616476u /* "vdaV" */
#define DEFAULT_INSTANCE_COUNT 1u
#define DEFAULT_VOLUME_FLAGS 0xFFFFFFFFu

/* Wine does not pass the rest of a path to a device, so the interface's link is pointed at this
   object directory, which holds one link per name that may be opened. */
#define CHANNEL_DIRECTORY L"\\VadrvChannel"
#define CHANNEL_LINK CHANNEL_DIRECTORY L"\\" VADRV_REFERENCE_STRING_W
#define TEST_LINK CHANNEL_DIRECTORY L"\\test"

static const WCHAR kCountValue[] = L"InstanceCount";
static const WCHAR kVolumeValue[] = L"VolumeControl";
static const WCHAR kStartsValue[] = L"StartCount";

typedef struct DEVICE_EXTENSION
{
    PDEVICE_OBJECT pdo;
    PDEVICE_OBJECT lower;
    UNICODE_STRING interfaceName;
    BOOLEAN interfaceRegistered;
    BOOLEAN started;
    HANDLE directory;
    WCHAR pdoName[128];
    UNICODE_STRING pdoNameString;
    BOOLEAN channelLinked;
    ULONG activeCount;
    ULONG activeVolume;
    ULONG inUse;
    ULONG failVolumeIndex;
    ULONG opens;
    ULONG entryCount;
    VADRV_TEST_ENTRY entries[VADRV_TEST_RECORD_ENTRIES];
} DEVICE_EXTENSION;

static UNICODE_STRING g_ParametersPath;

/* --- Parameters key --------------------------------------------------------------------- */

static NTSTATUS OpenParameters(HANDLE* key)
{
    OBJECT_ATTRIBUTES attributes;
    ULONG disposition;
    InitializeObjectAttributes(&attributes, &g_ParametersPath, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL,
                               NULL);
    return ZwCreateKey(key, KEY_ALL_ACCESS, &attributes, 0, NULL, REG_OPTION_NON_VOLATILE, &disposition);
}

static ULONG ReadParameter(const WCHAR* name, ULONG fallback)
{
    HANDLE key;
    UNICODE_STRING valueName;
    UCHAR buffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ULONG)];
    KEY_VALUE_PARTIAL_INFORMATION* info = (KEY_VALUE_PARTIAL_INFORMATION*)buffer;
    ULONG size = 0;
    ULONG value = fallback;
    if (!NT_SUCCESS(OpenParameters(&key)))
        return fallback;
    RtlInitUnicodeString(&valueName, name);
    if (NT_SUCCESS(ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, info, sizeof(buffer), &size)) &&
        info->Type == REG_DWORD && info->DataLength == sizeof(ULONG))
        RtlCopyMemory(&value, info->Data, sizeof(ULONG));
    ZwClose(key);
    return value;
}

static NTSTATUS WriteParameter(const WCHAR* name, ULONG value)
{
    HANDLE key;
    UNICODE_STRING valueName;
    NTSTATUS status = OpenParameters(&key);
    if (!NT_SUCCESS(status))
        return status;
    RtlInitUnicodeString(&valueName, name);
    status = ZwSetValueKey(key, &valueName, 0, REG_DWORD, &value, sizeof(value));
    ZwClose(key);
    return status;
}

/* --- Channel links ---------------------------------------------------------------------- */

static NTSTATUS CreateLink(const WCHAR* link, UNICODE_STRING* target)
{
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, link);
    return IoCreateSymbolicLink(&name, target);
}

static void DeleteLink(const WCHAR* link)
{
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, link);
    IoDeleteSymbolicLink(&name);
}

static NTSTATUS SetChannelLinked(DEVICE_EXTENSION* ext, BOOLEAN linked)
{
    NTSTATUS status = STATUS_SUCCESS;
    if (linked && !ext->channelLinked)
        status = CreateLink(CHANNEL_LINK, &ext->pdoNameString);
    else if (!linked && ext->channelLinked)
        DeleteLink(CHANNEL_LINK);
    if (NT_SUCCESS(status))
        ext->channelLinked = linked;
    return status;
}

static NTSTATUS LinkChannel(DEVICE_EXTENSION* ext)
{
    OBJECT_ATTRIBUTES attributes;
    UNICODE_STRING directoryName;
    UNICODE_STRING target;
    ULONG length = 0;
    NTSTATUS status = IoGetDeviceProperty(ext->pdo, DevicePropertyPhysicalDeviceObjectName,
                                          sizeof(ext->pdoName) - sizeof(WCHAR), ext->pdoName, &length);
    if (!NT_SUCCESS(status))
        return status;
    ext->pdoName[length / sizeof(WCHAR)] = 0;
    RtlInitUnicodeString(&ext->pdoNameString, ext->pdoName);

    RtlInitUnicodeString(&directoryName, CHANNEL_DIRECTORY);
    InitializeObjectAttributes(&attributes, &directoryName, OBJ_CASE_INSENSITIVE | OBJ_OPENIF | OBJ_KERNEL_HANDLE,
                               NULL, NULL);
    status = ZwCreateDirectoryObject(&ext->directory, DIRECTORY_ALL_ACCESS, &attributes);
    if (!NT_SUCCESS(status)) {
        ext->directory = NULL;
        return status;
    }
    status = SetChannelLinked(ext, TRUE);
    if (NT_SUCCESS(status))
        status = CreateLink(TEST_LINK, &ext->pdoNameString);
    if (!NT_SUCCESS(status))
        return status;
    /* Repoint the interface's own link at the directory. */
    IoDeleteSymbolicLink(&ext->interfaceName);
    RtlInitUnicodeString(&target, CHANNEL_DIRECTORY);
    return IoCreateSymbolicLink(&ext->interfaceName, &target);
}

static void UnlinkChannel(DEVICE_EXTENSION* ext)
{
    SetChannelLinked(ext, FALSE);
    DeleteLink(TEST_LINK);
    if (ext->directory) {
        ZwClose(ext->directory);
        ext->directory = NULL;
    }
}

/* --- Requests --------------------------------------------------------------------------- */

static void RecordRequest(DEVICE_EXTENSION* ext, ULONG code, const void* input, ULONG inputBytes, NTSTATUS status)
{
    if (ext->entryCount < VADRV_TEST_RECORD_ENTRIES) {
        VADRV_TEST_ENTRY* entry = &ext->entries[ext->entryCount];
        ULONG copy = inputBytes < sizeof(entry->input) ? inputBytes : sizeof(entry->input);
        RtlZeroMemory(entry, sizeof(*entry));
        entry->code = code;
        entry->inputBytes = inputBytes;
        entry->status = status;
        if (input)
            RtlCopyMemory(entry->input, input, copy);
    }
    ext->entryCount++;
}

static NTSTATUS ChannelRequest(DEVICE_EXTENSION* ext, ULONG code, void* buffer, ULONG inputBytes,
                               ULONG outputBytes, ULONG_PTR* information)
{
    static const ULONG kInputBytes[] = {sizeof(VADRV_VERSION_INPUT), sizeof(VADRV_INDEX_INPUT),
                                        sizeof(VADRV_INDEX_INPUT), sizeof(VADRV_VOLUME_INPUT)};
    static const ULONG kOutputBytes[] = {VADRV_DRIVER_INFO_BYTES, VADRV_INSTANCE_INFO_BYTES, 0, 0};
    ULONG which = ((code >> 2) & 0xFFF) - 0x801;
    const VADRV_INDEX_INPUT* input = (const VADRV_INDEX_INPUT*)buffer;
    if (inputBytes != kInputBytes[which] || outputBytes < kOutputBytes[which])
        return STATUS_INVALID_BUFFER_SIZE;
    if (input->version != VADRV_INTERFACE_VERSION)
        return STATUS_REVISION_MISMATCH;

    switch (code) {
    case IOCTL_VADRV_GET_INFO: {
        VADRV_DRIVER_INFO* info = (VADRV_DRIVER_INFO*)buffer;
        RtlZeroMemory(info, sizeof(*info));
        info->version = VADRV_INTERFACE_VERSION;
        info->maxInstances = VADRV_MAX_INSTANCES;
        info->instanceCount = ext->activeCount;
        info->inUse = ext->inUse;
        *information = sizeof(*info);
        return STATUS_SUCCESS;
    }
    case IOCTL_VADRV_GET_INSTANCE_INFO: {
        ULONG index = input->value;
        VADRV_INSTANCE_INFO* info = (VADRV_INSTANCE_INFO*)buffer;
        if (index >= ext->activeCount)
            return STATUS_INVALID_PARAMETER;
        RtlZeroMemory(info, sizeof(*info));
        info->volumeControl = (ext->activeVolume >> index) & 1;
        info->index = index;
        *information = sizeof(*info);
        return STATUS_SUCCESS;
    }
    case IOCTL_VADRV_SET_INSTANCE_COUNT:
        if (input->value > VADRV_MAX_INSTANCES)
            return STATUS_INVALID_PARAMETER;
        return WriteParameter(kCountValue, input->value);
    case IOCTL_VADRV_SET_INSTANCE_VOLUME: {
        const VADRV_VOLUME_INPUT* volume = (const VADRV_VOLUME_INPUT*)buffer;
        ULONG flags;
        if (volume->index >= VADRV_MAX_INSTANCES || volume->index == ext->failVolumeIndex || volume->enabled > 1)
            return STATUS_INVALID_PARAMETER;
        flags = ReadParameter(kVolumeValue, DEFAULT_VOLUME_FLAGS);
        if (volume->enabled)
            flags |= 1u << volume->index;
        else
            flags &= ~(1u << volume->index);
        return WriteParameter(kVolumeValue, flags);
    }
    }
    return STATUS_INVALID_DEVICE_REQUEST;
}

static NTSTATUS TestRequest(DEVICE_EXTENSION* ext, ULONG code, void* buffer, ULONG inputBytes, ULONG outputBytes,
                            ULONG_PTR* information)
{
    if (code == IOCTL_VADRV_TEST_CONTROL) {
        const VADRV_TEST_CONTROL* control = (const VADRV_TEST_CONTROL*)buffer;
        if (inputBytes != sizeof(*control) || control->version != VADRV_INTERFACE_VERSION)
            return STATUS_INVALID_PARAMETER;
        ext->inUse = control->inUse;
        ext->failVolumeIndex = control->failVolumeIndex;
        if (control->clearRecord) {
            ext->entryCount = 0;
            ext->opens = 0;
        }
        return SetChannelLinked(ext, control->refuseOpens == 0);
    }
    if (code == IOCTL_VADRV_TEST_READ_RECORD) {
        VADRV_TEST_RECORD* record = (VADRV_TEST_RECORD*)buffer;
        if (outputBytes < sizeof(*record))
            return STATUS_BUFFER_TOO_SMALL;
        RtlZeroMemory(record, sizeof(*record));
        record->starts = ReadParameter(kStartsValue, 0);
        record->opens = ext->opens;
        record->entryCount = ext->entryCount;
        record->pendingCount = ReadParameter(kCountValue, DEFAULT_INSTANCE_COUNT);
        record->pendingVolume = ReadParameter(kVolumeValue, DEFAULT_VOLUME_FLAGS);
        RtlCopyMemory(record->entries, ext->entries, sizeof(ext->entries));
        *information = sizeof(*record);
        return STATUS_SUCCESS;
    }
    return STATUS_INVALID_DEVICE_REQUEST;
}

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS NTAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp)
{
    DEVICE_EXTENSION* ext = (DEVICE_EXTENSION*)device->DeviceExtension;
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    ULONG inputBytes = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outputBytes = stack->Parameters.DeviceIoControl.OutputBufferLength;
    void* buffer = irp->AssociatedIrp.SystemBuffer;
    ULONG_PTR information = 0;
    NTSTATUS status;
    if (code >= IOCTL_VADRV_GET_INFO && code <= IOCTL_VADRV_SET_INSTANCE_VOLUME &&
        (code & 3) == 0) {
        /* The answer overwrites the input in the shared buffer: keep what was sent first. */
        ULONG entry = ext->entryCount;
        RecordRequest(ext, code, buffer, inputBytes, STATUS_PENDING);
        status = (inputBytes && !buffer) ? STATUS_INVALID_PARAMETER
                                         : ChannelRequest(ext, code, buffer, inputBytes, outputBytes, &information);
        if (entry < VADRV_TEST_RECORD_ENTRIES)
            ext->entries[entry].status = status;
    } else {
        status = buffer ? TestRequest(ext, code, buffer, inputBytes, outputBytes, &information)
                        : STATUS_INVALID_PARAMETER;
    }
    return Complete(irp, status, information);
}

static NTSTATUS NTAPI DispatchCreateClose(PDEVICE_OBJECT device, PIRP irp)
{
    DEVICE_EXTENSION* ext = (DEVICE_EXTENSION*)device->DeviceExtension;
    if (IoGetCurrentIrpStackLocation(irp)->MajorFunction == IRP_MJ_CREATE)
        ext->opens++;
    return Complete(irp, STATUS_SUCCESS, 0);
}

/* --- Plug and play ---------------------------------------------------------------------- */

static NTSTATUS NTAPI SignalCompletion(PDEVICE_OBJECT device, PIRP irp, PVOID context)
{
    (void)device;
    (void)irp;
    KeSetEvent((PKEVENT)context, IO_NO_INCREMENT, FALSE);
    return STATUS_MORE_PROCESSING_REQUIRED;
}

static NTSTATUS ForwardAndWait(DEVICE_EXTENSION* ext, PIRP irp)
{
    KEVENT done;
    NTSTATUS status;
    KeInitializeEvent(&done, NotificationEvent, FALSE);
    IoCopyCurrentIrpStackLocationToNext(irp);
    IoSetCompletionRoutine(irp, SignalCompletion, &done, TRUE, TRUE, TRUE);
    status = IoCallDriver(ext->lower, irp);
    if (status == STATUS_PENDING) {
        KeWaitForSingleObject(&done, Executive, KernelMode, FALSE, NULL);
        status = irp->IoStatus.Status;
    }
    return status;
}

static NTSTATUS StartDevice(DEVICE_EXTENSION* ext)
{
    NTSTATUS status;
    /* What was sent since the last start becomes active now. */
    ext->activeCount = ReadParameter(kCountValue, DEFAULT_INSTANCE_COUNT);
    if (ext->activeCount > VADRV_MAX_INSTANCES)
        ext->activeCount = VADRV_MAX_INSTANCES;
    ext->activeVolume = ReadParameter(kVolumeValue, DEFAULT_VOLUME_FLAGS);
    WriteParameter(kStartsValue, ReadParameter(kStartsValue, 0) + 1);
    status = IoSetDeviceInterfaceState(&ext->interfaceName, TRUE);
    if (NT_SUCCESS(status))
        status = LinkChannel(ext);
    if (!NT_SUCCESS(status))
        DbgPrint("vadrv: start failed 0x%08lx\n", (unsigned long)status);
    ext->started = NT_SUCCESS(status);
    return status;
}

static void StopDevice(DEVICE_EXTENSION* ext)
{
    UnlinkChannel(ext);
    if (ext->started)
        IoSetDeviceInterfaceState(&ext->interfaceName, FALSE);
    ext->started = FALSE;
}

static NTSTATUS NTAPI DispatchPnp(PDEVICE_OBJECT device, PIRP irp)
{
    DEVICE_EXTENSION* ext = (DEVICE_EXTENSION*)device->DeviceExtension;
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status;
    switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
        status = ForwardAndWait(ext, irp);
        /* A bare root device below may not answer the start: that is no failure. */
        if (NT_SUCCESS(status) || status == STATUS_NOT_SUPPORTED)
            status = StartDevice(ext);
        return Complete(irp, status, 0);
    case IRP_MN_SURPRISE_REMOVAL:
    case IRP_MN_STOP_DEVICE:
        StopDevice(ext);
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    case IRP_MN_REMOVE_DEVICE: {
        PDEVICE_OBJECT lower = ext->lower;
        StopDevice(ext);
        irp->IoStatus.Status = STATUS_SUCCESS;
        IoSkipCurrentIrpStackLocation(irp);
        status = IoCallDriver(lower, irp);
        IoDetachDevice(lower);
        if (ext->interfaceRegistered)
            RtlFreeUnicodeString(&ext->interfaceName);
        IoDeleteDevice(device);
        return status;
    }
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
        irp->IoStatus.Status = STATUS_SUCCESS;
        break;
    default:
        break;
    }
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(ext->lower, irp);
}

static NTSTATUS NTAPI DispatchPower(PDEVICE_OBJECT device, PIRP irp)
{
    DEVICE_EXTENSION* ext = (DEVICE_EXTENSION*)device->DeviceExtension;
    PoStartNextPowerIrp(irp);
    IoSkipCurrentIrpStackLocation(irp);
    return PoCallDriver(ext->lower, irp);
}

static NTSTATUS NTAPI AddDevice(PDRIVER_OBJECT driver, PDEVICE_OBJECT pdo)
{
    PDEVICE_OBJECT fdo;
    DEVICE_EXTENSION* ext;
    NTSTATUS status = IoCreateDevice(driver, sizeof(DEVICE_EXTENSION), NULL, FILE_DEVICE_UNKNOWN,
                                     FILE_DEVICE_SECURE_OPEN, FALSE, &fdo);
    if (!NT_SUCCESS(status))
        return status;
    ext = (DEVICE_EXTENSION*)fdo->DeviceExtension;
    RtlZeroMemory(ext, sizeof(*ext));
    ext->pdo = pdo;
    ext->failVolumeIndex = VADRV_TEST_NO_FAILURE;
    ext->lower = IoAttachDeviceToDeviceStack(fdo, pdo);
    if (!ext->lower) {
        IoDeleteDevice(fdo);
        return STATUS_NO_SUCH_DEVICE;
    }
    status = IoRegisterDeviceInterface(pdo, &GUID_VADRV_INTERFACE, NULL, &ext->interfaceName);
    if (!NT_SUCCESS(status)) {
        IoDetachDevice(ext->lower);
        IoDeleteDevice(fdo);
        return status;
    }
    ext->interfaceRegistered = TRUE;
    fdo->Flags |= DO_BUFFERED_IO;
    fdo->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

static void NTAPI DriverUnload(PDRIVER_OBJECT driver)
{
    (void)driver;
    if (g_ParametersPath.Buffer)
        ExFreePoolWithTag(g_ParametersPath.Buffer, POOL_TAG);
    g_ParametersPath.Buffer = NULL;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    static const WCHAR kParameters[] = L"\\Parameters";
    USHORT bytes = registryPath->Length + sizeof(kParameters);
    g_ParametersPath.Buffer = (PWCH)ExAllocatePoolWithTag(PagedPool, bytes, POOL_TAG);
    if (!g_ParametersPath.Buffer)
        return STATUS_INSUFFICIENT_RESOURCES;
    g_ParametersPath.Length = 0;
    g_ParametersPath.MaximumLength = bytes;
    RtlCopyUnicodeString(&g_ParametersPath, registryPath);
    RtlAppendUnicodeToString(&g_ParametersPath, kParameters);

    driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_CLEANUP] = DispatchCreateClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
    driver->MajorFunction[IRP_MJ_PNP] = DispatchPnp;
    driver->MajorFunction[IRP_MJ_POWER] = DispatchPower;
    driver->DriverExtension->AddDevice = AddDevice;
    driver->DriverUnload = DriverUnload;
    return STATUS_SUCCESS;
}
