/* A stand-in for the TELVAR-5 kernel driver, for testing the Windows path to
 * the card without the card: SetupAPI discovery, CreateFileA and one
 * DeviceIoControl per request, exactly as the program runs on a bench.
 *
 * It models nothing itself. Each root-enumerated device (one per module of
 * the virtual module's configuration) registers an interface of the module's
 * class; every open, close and device-control request on it is handed to a
 * user-mode host (telvar5-standin-host.exe) that answers through the virtual
 * driver library. The host holds one exchange request pending on the control
 * device \\.\Telvar5StandIn: its input is the reply to the last request, its
 * output the next one (an inverted call).
 *
 * - Interfaces are enabled only while a host serves: without one, a program
 *   finds no module.
 * - A request the host does not answer within 2 s fails with STATUS_IO_TIMEOUT;
 *   until the host asks again, later requests fail at once instead of waiting
 *   2 s each.
 * - A host that goes away withdraws the interfaces, and every request waiting
 *   on it fails at once. Handles opened through an earlier host stay dead.
 * - Wine sends no IRP_MJ_CLEANUP: what belongs to a handle is let go on CLOSE.
 *
 * Test equipment only: never installed with the program. */
#include <ntddk.h>

#include "../StandInExchange.h"

#define EXT_MODULE 0x4d543554u  /* "T5TM" */
#define EXT_CONTROL 0x43543554u /* "T5TC" */

typedef struct ModuleExt {
    ULONG kind;
    PDEVICE_OBJECT self;
    PDEVICE_OBJECT lower;
    UNICODE_STRING link;
    BOOLEAN linkValid;
    BOOLEAN started;
    BOOLEAN removed;
    BOOLEAN enabled; /* the interface's state as last set */
    ULONG moduleIndex;
} ModuleExt;

typedef struct ControlExt {
    ULONG kind;
} ControlExt;

/* What the driver keeps of one program request while it waits (DriverContext). */
#define CTX_SEQUENCE 0
#define CTX_AGE 1
#define CTX_KIND 2

/* FsContext2 of a program's file: the host generation it was opened through,
 * or one of these (0 before its open reached the driver). FsContext holds the
 * host's handle of the module. */
#define FILE_OPENING (~(ULONG_PTR)0)
#define FILE_DEAD (~(ULONG_PTR)1)

static KSPIN_LOCK g_lock;
static PDEVICE_OBJECT g_control;
static PFILE_OBJECT g_host;          /* the attached host's file, NULL without one */
static ULONG g_hostGeneration = 1;   /* a handle opened through another host is dead */
static PIRP g_exchange;              /* the host's pending exchange */
static LIST_ENTRY g_waiting;         /* program requests not yet handed to the host */
static LIST_ENTRY g_inflight;        /* handed over, waiting for the reply */
static ULONG g_sequence;
static ULONG g_unopenable;           /* bit i: module i fails to open (T5siAttach) */
static BOOLEAN g_stalled;            /* the host let a request time out and has not asked since */
static ModuleExt* g_modules[T5SI_MAX_MODULES];
static ULONG g_nextModuleIndex;
static T5siStatus g_counts;

/* In ntifs.h, which a WDM driver does not include. */
NTSYSAPI NTSTATUS NTAPI ZwWaitForSingleObject(HANDLE handle, BOOLEAN alertable, PLARGE_INTEGER timeout);

static HANDLE g_timerThread;
static KEVENT g_stopTimer;

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

/* A Windows error code from the host, as the status the program's call then fails with. */
static NTSTATUS statusOfError(ULONG error)
{
    switch (error) {
    case 0: return STATUS_SUCCESS;
    case 1: return STATUS_INVALID_DEVICE_REQUEST;  /* ERROR_INVALID_FUNCTION */
    case 2: return STATUS_OBJECT_NAME_NOT_FOUND;   /* ERROR_FILE_NOT_FOUND */
    case 4: return STATUS_TOO_MANY_OPENED_FILES;   /* ERROR_TOO_MANY_OPEN_FILES */
    case 5: return STATUS_ACCESS_DENIED;           /* ERROR_ACCESS_DENIED */
    case 6: return STATUS_INVALID_HANDLE;          /* ERROR_INVALID_HANDLE */
    case 8: return STATUS_NO_MEMORY;               /* ERROR_NOT_ENOUGH_MEMORY */
    case 21: return STATUS_DEVICE_NOT_READY;       /* ERROR_NOT_READY */
    case 31: return STATUS_UNSUCCESSFUL;           /* ERROR_GEN_FAILURE */
    case 50: return STATUS_NOT_SUPPORTED;          /* ERROR_NOT_SUPPORTED */
    case 87: return STATUS_INVALID_PARAMETER;      /* ERROR_INVALID_PARAMETER */
    case 121: return STATUS_IO_TIMEOUT;            /* ERROR_SEM_TIMEOUT */
    case 122: return STATUS_BUFFER_TOO_SMALL;      /* ERROR_INSUFFICIENT_BUFFER */
    case 259: return STATUS_NO_MORE_ENTRIES;       /* ERROR_NO_MORE_ITEMS */
    case 1117: return STATUS_IO_DEVICE_ERROR;      /* ERROR_IO_DEVICE */
    case 1167: return STATUS_DEVICE_NOT_CONNECTED; /* ERROR_DEVICE_NOT_CONNECTED */
    default: return STATUS_UNSUCCESSFUL;
    }
}

/* Ends a forwarded request. A failed open leaves its file marked, so that
 * the requests that follow on it fail (wine hands the program its handle
 * before the open is answered, whatever the answer). */
static void finish(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    ULONG kind = (ULONG)((ULONG_PTR)irp->Tail.Overlay.DriverContext[CTX_KIND] % 256);
    if (kind == T5SI_OPEN && status != STATUS_SUCCESS)
        IoGetCurrentIrpStackLocation(irp)->FileObject->FsContext2 = (PVOID)FILE_DEAD;
    /* A close always succeeds: the handle is gone whatever the host knew of it. */
    complete(irp, kind == T5SI_CLOSE ? STATUS_SUCCESS : status, information);
}

static void completeList(LIST_ENTRY* list, NTSTATUS status)
{
    while (!IsListEmpty(list))
        finish(CONTAINING_RECORD(RemoveHeadList(list), IRP, Tail.Overlay.ListEntry), status, 0);
}

/* Sets the interface of every module to what it should be: on while a host
 * serves and the device is started and present. Called without the lock held
 * (the interface state is changed at passive level). */
static void updateInterfaces(void)
{
    ULONG i;
    for (i = 0; i < T5SI_MAX_MODULES; ++i) {
        KIRQL irql;
        ModuleExt* m;
        BOOLEAN want = FALSE, change = FALSE, unopenable = FALSE;
        KeAcquireSpinLock(&g_lock, &irql);
        m = g_modules[i];
        if (m && m->linkValid) {
            want = g_host != NULL && m->started && !m->removed;
            change = want != m->enabled;
            m->enabled = want;
            unopenable = (g_unopenable >> i) & 1u;
        }
        KeReleaseSpinLock(&g_lock, irql);
        if (change) {
            IoSetDeviceInterfaceState(&m->link, want);
            /* Listed, but leading nowhere: the open fails before it reaches the driver. */
            if (want && unopenable)
                IoDeleteSymbolicLink(&m->link);
        }
    }
}

/* Writes a program request into the host's exchange buffer; lock held. */
static void handOver(PIRP exchange, PIRP request)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(request);
    T5siRequest* out = (T5siRequest*)exchange->AssociatedIrp.SystemBuffer;
    ULONG_PTR kindAndModule = (ULONG_PTR)request->Tail.Overlay.DriverContext[CTX_KIND];
    ULONG inSize = 0;

    out->magic = T5SI_MAGIC;
    out->sequence = (uint32_t)(ULONG_PTR)request->Tail.Overlay.DriverContext[CTX_SEQUENCE];
    out->kind = (uint32_t)(kindAndModule % 256);
    out->moduleIndex = (uint32_t)(kindAndModule / 256);
    out->moduleHandle = 0;
    /* The handle is read now, not when the request came: a program may ask
     * before its open is answered, and the host answers in order. */
    if (out->kind != T5SI_OPEN && stack->FileObject
        && stack->FileObject->FsContext2 == (PVOID)(ULONG_PTR)g_hostGeneration)
        out->moduleHandle = (uint64_t)(ULONG_PTR)stack->FileObject->FsContext;
    out->code = 0;
    out->inSize = 0;
    out->outSize = 0;
    out->reserved = 0;
    if (out->kind == T5SI_CONTROL) {
        inSize = stack->Parameters.DeviceIoControl.InputBufferLength;
        out->code = stack->Parameters.DeviceIoControl.IoControlCode;
        out->inSize = inSize;
        out->outSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
        if (inSize)
            RtlCopyMemory(out->data, request->AssociatedIrp.SystemBuffer, inSize);
    }
    exchange->IoStatus.Status = STATUS_SUCCESS;
    exchange->IoStatus.Information = T5SI_REQUEST_HEADER + inSize;
    InsertTailList(&g_inflight, &request->Tail.Overlay.ListEntry);
    ++g_counts.forwarded;
}

static VOID NTAPI cancelExchange(PDEVICE_OBJECT device, PIRP irp)
{
    KIRQL irql;
    (void)device;
    IoReleaseCancelSpinLock(irp->CancelIrql);
    KeAcquireSpinLock(&g_lock, &irql);
    if (g_exchange == irp)
        g_exchange = NULL;
    KeReleaseSpinLock(&g_lock, irql);
    complete(irp, STATUS_CANCELLED, 0);
}

/* Takes the host's pending exchange for a request; lock held. NULL when there
 * is none, or when its cancellation is already under way. */
static PIRP takeExchange(void)
{
    PIRP exchange = g_exchange;
    if (!exchange)
        return NULL;
    g_exchange = NULL;
    if (IoSetCancelRoutine(exchange, NULL) == NULL)
        return NULL; /* the cancel routine owns it now */
    return exchange;
}

/* Queues a program request for the host: open (kind T5SI_OPEN), close or control. */
static NTSTATUS forward(PIRP irp, ModuleExt* module, ULONG kind)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    KIRQL irql;
    PIRP exchange;
    NTSTATUS refusal = STATUS_SUCCESS;

    KeAcquireSpinLock(&g_lock, &irql);
    if (module->removed)
        refusal = STATUS_NO_SUCH_DEVICE;
    else if (!g_host)
        refusal = STATUS_DEVICE_NOT_CONNECTED;
    else if (g_stalled)
        refusal = STATUS_IO_TIMEOUT;
    if (refusal != STATUS_SUCCESS) {
        ++g_counts.refused;
        if (kind == T5SI_OPEN)
            stack->FileObject->FsContext2 = (PVOID)FILE_DEAD;
        KeReleaseSpinLock(&g_lock, irql);
        return complete(irp, kind == T5SI_CLOSE ? STATUS_SUCCESS : refusal, 0);
    }
    if (++g_sequence == 0)
        g_sequence = 1;
    irp->Tail.Overlay.DriverContext[CTX_SEQUENCE] = (PVOID)(ULONG_PTR)g_sequence;
    irp->Tail.Overlay.DriverContext[CTX_AGE] = (PVOID)0;
    irp->Tail.Overlay.DriverContext[CTX_KIND] = (PVOID)(ULONG_PTR)(kind + 256 * module->moduleIndex);
    IoMarkIrpPending(irp);
    exchange = takeExchange();
    if (exchange)
        handOver(exchange, irp);
    else
        InsertTailList(&g_waiting, &irp->Tail.Overlay.ListEntry);
    KeReleaseSpinLock(&g_lock, irql);
    if (exchange)
        IoCompleteRequest(exchange, IO_NO_INCREMENT);
    return STATUS_PENDING;
}


/* The host's answer to request `sequence`: completes it, if it still waits. */
static PIRP takeAnswered(const T5siReply* reply, ULONG replyBytes, NTSTATUS* status, ULONG_PTR* information)
{
    LIST_ENTRY* e;
    for (e = g_inflight.Flink; e != &g_inflight; e = e->Flink) {
        PIRP irp = CONTAINING_RECORD(e, IRP, Tail.Overlay.ListEntry);
        PIO_STACK_LOCATION stack;
        ULONG kind;
        if ((uint32_t)(ULONG_PTR)irp->Tail.Overlay.DriverContext[CTX_SEQUENCE] != reply->sequence)
            continue;
        RemoveEntryList(e);
        ++g_counts.answered;
        stack = IoGetCurrentIrpStackLocation(irp);
        kind = (ULONG)((ULONG_PTR)irp->Tail.Overlay.DriverContext[CTX_KIND] % 256);
        *status = statusOfError(reply->error);
        *information = 0;
        if (kind == T5SI_CLOSE) {
            *status = STATUS_SUCCESS;
        } else if (kind == T5SI_OPEN) {
            if (reply->error == 0) {
                stack->FileObject->FsContext = (PVOID)(ULONG_PTR)reply->moduleHandle;
                stack->FileObject->FsContext2 = (PVOID)(ULONG_PTR)g_hostGeneration;
            }
        } else if (reply->error == 0) {
            /* Never more than the program's room, nor than the host really sent. */
            ULONG n = reply->bytesReturned;
            ULONG room = stack->Parameters.DeviceIoControl.OutputBufferLength;
            if (n > room)
                n = room;
            if (n > replyBytes - T5SI_REPLY_HEADER)
                n = replyBytes - T5SI_REPLY_HEADER;
            if (n)
                RtlCopyMemory(irp->AssociatedIrp.SystemBuffer, reply->data, n);
            *information = n;
        }
        return irp;
    }
    return NULL;
}

static NTSTATUS exchange(PIRP irp, PIO_STACK_LOCATION stack)
{
    ULONG inLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
    const T5siReply* reply = (const T5siReply*)irp->AssociatedIrp.SystemBuffer;
    PIRP answered = NULL, next = NULL;
    NTSTATUS answeredStatus = STATUS_SUCCESS;
    ULONG_PTR answeredInformation = 0;
    KIRQL irql;

    if (outLength < sizeof(T5siRequest) || inLength > sizeof(T5siReply))
        return complete(irp, STATUS_INVALID_PARAMETER, 0);
    KeAcquireSpinLock(&g_lock, &irql);
    if (stack->FileObject != g_host || g_exchange) {
        KeReleaseSpinLock(&g_lock, irql);
        return complete(irp, STATUS_INVALID_DEVICE_STATE, 0);
    }
    g_stalled = FALSE;
    if (inLength >= T5SI_REPLY_HEADER && reply->magic == T5SI_MAGIC && reply->sequence != 0)
        answered = takeAnswered(reply, inLength, &answeredStatus, &answeredInformation);
    if (!IsListEmpty(&g_waiting)) {
        next = CONTAINING_RECORD(RemoveHeadList(&g_waiting), IRP, Tail.Overlay.ListEntry);
        handOver(irp, next);
    } else {
        IoMarkIrpPending(irp);
        IoSetCancelRoutine(irp, cancelExchange);
        if (irp->Cancel && IoSetCancelRoutine(irp, NULL) != NULL) {
            KeReleaseSpinLock(&g_lock, irql);
            if (answered)
                finish(answered, answeredStatus, answeredInformation);
            complete(irp, STATUS_CANCELLED, 0);
            return STATUS_PENDING;
        }
        g_exchange = irp;
    }
    KeReleaseSpinLock(&g_lock, irql);
    if (answered)
        finish(answered, answeredStatus, answeredInformation);
    if (next) {
        IoCompleteRequest(irp, IO_NO_INCREMENT);
        return STATUS_SUCCESS;
    }
    return STATUS_PENDING;
}

/* The host is gone: its waiting and pending requests fail at once, and the
 * modules' interfaces are withdrawn. */
static void detachHost(void)
{
    LIST_ENTRY failed;
    PIRP pendingExchange;
    KIRQL irql;

    InitializeListHead(&failed);
    KeAcquireSpinLock(&g_lock, &irql);
    g_host = NULL;
    ++g_hostGeneration;
    g_stalled = FALSE;
    pendingExchange = takeExchange();
    while (!IsListEmpty(&g_waiting)) {
        InsertTailList(&failed, RemoveHeadList(&g_waiting));
        ++g_counts.withdrawn;
    }
    while (!IsListEmpty(&g_inflight)) {
        InsertTailList(&failed, RemoveHeadList(&g_inflight));
        ++g_counts.withdrawn;
    }
    KeReleaseSpinLock(&g_lock, irql);
    if (pendingExchange)
        complete(pendingExchange, STATUS_CANCELLED, 0);
    completeList(&failed, STATUS_DEVICE_NOT_CONNECTED);
    updateInterfaces();
}

static NTSTATUS controlDeviceIoctl(PIRP irp, PIO_STACK_LOCATION stack)
{
    ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    ULONG inLength = stack->Parameters.DeviceIoControl.InputBufferLength;
    ULONG outLength = stack->Parameters.DeviceIoControl.OutputBufferLength;
    KIRQL irql;

    switch (code) {
    case T5SI_IOCTL_ATTACH: {
        NTSTATUS status = STATUS_SUCCESS;
        const T5siAttach* attach = (const T5siAttach*)irp->AssociatedIrp.SystemBuffer;
        if (inLength < sizeof(T5siAttach) || attach->version != T5SI_VERSION)
            return complete(irp, STATUS_REVISION_MISMATCH, 0);
        KeAcquireSpinLock(&g_lock, &irql);
        if (g_host && g_host != stack->FileObject) {
            status = STATUS_DEVICE_BUSY;
        } else {
            g_host = stack->FileObject;
            g_unopenable = attach->unopenable;
        }
        KeReleaseSpinLock(&g_lock, irql);
        if (status == STATUS_SUCCESS)
            updateInterfaces();
        return complete(irp, status, 0);
    }
    case T5SI_IOCTL_EXCHANGE:
        return exchange(irp, stack);
    case T5SI_IOCTL_ECHO: {
        ULONG n = inLength < outLength ? inLength : outLength;
        /* METHOD_BUFFERED: the input already lies where the output goes. */
        return complete(irp, STATUS_SUCCESS, n);
    }
    case T5SI_IOCTL_STATUS: {
        T5siStatus status;
        ULONG i;
        if (outLength < sizeof(T5siStatus))
            return complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
        KeAcquireSpinLock(&g_lock, &irql);
        status = g_counts;
        status.hostAttached = g_host != NULL;
        status.modules = 0;
        status.interfacesOn = 0;
        for (i = 0; i < T5SI_MAX_MODULES; ++i) {
            if (g_modules[i] && !g_modules[i]->removed)
                ++status.modules;
            if (g_modules[i] && g_modules[i]->enabled)
                ++status.interfacesOn;
        }
        KeReleaseSpinLock(&g_lock, irql);
        RtlCopyMemory(irp->AssociatedIrp.SystemBuffer, &status, sizeof status);
        return complete(irp, STATUS_SUCCESS, sizeof status);
    }
    default:
        return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    }
}

static NTSTATUS dispatchControlDevice(PIRP irp, PIO_STACK_LOCATION stack)
{
    switch (stack->MajorFunction) {
    case IRP_MJ_CREATE:
    case IRP_MJ_CLEANUP:
        return complete(irp, STATUS_SUCCESS, 0);
    case IRP_MJ_CLOSE: {
        KIRQL irql;
        BOOLEAN wasHost;
        KeAcquireSpinLock(&g_lock, &irql);
        wasHost = g_host != NULL && g_host == stack->FileObject;
        KeReleaseSpinLock(&g_lock, irql);
        if (wasHost)
            detachHost();
        return complete(irp, STATUS_SUCCESS, 0);
    }
    case IRP_MJ_DEVICE_CONTROL:
        return controlDeviceIoctl(irp, stack);
    default:
        return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    }
}

/* Whether requests on the file can reach the module: it was opened through
 * the host now serving, or its open is still on the way. */
static BOOLEAN fileUsable(PFILE_OBJECT file)
{
    KIRQL irql;
    BOOLEAN usable;
    KeAcquireSpinLock(&g_lock, &irql);
    usable = file && (file->FsContext2 == (PVOID)(ULONG_PTR)g_hostGeneration
                      || file->FsContext2 == (PVOID)FILE_OPENING);
    KeReleaseSpinLock(&g_lock, irql);
    return usable;
}

static NTSTATUS dispatchModuleRequest(ModuleExt* module, PIRP irp, PIO_STACK_LOCATION stack)
{
    PFILE_OBJECT file = stack->FileObject;
    KIRQL irql;

    switch (stack->MajorFunction) {
    case IRP_MJ_CREATE:
        if (!file)
            return complete(irp, STATUS_INVALID_PARAMETER, 0);
        file->FsContext2 = (PVOID)FILE_OPENING;
        return forward(irp, module, T5SI_OPEN);
    case IRP_MJ_CLEANUP:
        return complete(irp, STATUS_SUCCESS, 0);
    case IRP_MJ_CLOSE:
        if (!fileUsable(file))
            return complete(irp, STATUS_SUCCESS, 0);
        return forward(irp, module, T5SI_CLOSE);
    case IRP_MJ_DEVICE_CONTROL:
        if (!fileUsable(file)) { /* its open failed, or went through a host that has gone since */
            KeAcquireSpinLock(&g_lock, &irql);
            ++g_counts.refused;
            KeReleaseSpinLock(&g_lock, irql);
            return complete(irp, file && file->FsContext2 == (PVOID)FILE_DEAD && g_host
                                     ? STATUS_INVALID_HANDLE : STATUS_DEVICE_NOT_CONNECTED, 0);
        }
        if (stack->Parameters.DeviceIoControl.InputBufferLength > T5SI_MAX_DATA)
            return complete(irp, STATUS_INVALID_PARAMETER, 0);
        return forward(irp, module, T5SI_CONTROL);
    default:
        return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    }
}

static NTSTATUS dispatchPnp(ModuleExt* module, PIRP irp, PIO_STACK_LOCATION stack)
{
    PDEVICE_OBJECT lower = module->lower;
    KIRQL irql;
    NTSTATUS status;

    switch (stack->MinorFunction) {
    case IRP_MN_START_DEVICE:
        module->started = TRUE;
        updateInterfaces();
        break;
    case IRP_MN_SURPRISE_REMOVAL:
        module->removed = TRUE;
        updateInterfaces();
        break;
    case IRP_MN_REMOVE_DEVICE:
        KeAcquireSpinLock(&g_lock, &irql);
        module->removed = TRUE;
        KeReleaseSpinLock(&g_lock, irql);
        updateInterfaces();
        KeAcquireSpinLock(&g_lock, &irql);
        if (module->moduleIndex < T5SI_MAX_MODULES && g_modules[module->moduleIndex] == module)
            g_modules[module->moduleIndex] = NULL;
        KeReleaseSpinLock(&g_lock, irql);
        irp->IoStatus.Status = STATUS_SUCCESS;
        IoSkipCurrentIrpStackLocation(irp);
        status = IoCallDriver(lower, irp);
        if (module->linkValid)
            RtlFreeUnicodeString(&module->link);
        module->linkValid = FALSE;
        IoDetachDevice(lower);
        IoDeleteDevice(module->self);
        return status;
    default:
        break;
    }
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(lower, irp);
}

static NTSTATUS NTAPI dispatch(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    ModuleExt* module;

    if (((ControlExt*)device->DeviceExtension)->kind == EXT_CONTROL)
        return dispatchControlDevice(irp, stack);
    module = (ModuleExt*)device->DeviceExtension;
    if (stack->MajorFunction == IRP_MJ_PNP)
        return dispatchPnp(module, irp, stack);
    if (stack->MajorFunction == IRP_MJ_POWER) {
        PoStartNextPowerIrp(irp);
        IoSkipCurrentIrpStackLocation(irp);
        return PoCallDriver(module->lower, irp);
    }
    return dispatchModuleRequest(module, irp, stack);
}

/* The module's place in the configuration, as the setup tool wrote it. */
static ULONG readModuleIndex(PDEVICE_OBJECT pdo)
{
    HANDLE key;
    UNICODE_STRING name;
    UCHAR buffer[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ULONG)];
    KEY_VALUE_PARTIAL_INFORMATION* info = (KEY_VALUE_PARTIAL_INFORMATION*)buffer;
    ULONG length = 0;
    ULONG index = ~0u;

    if (!NT_SUCCESS(IoOpenDeviceRegistryKey(pdo, PLUGPLAY_REGKEY_DEVICE, KEY_READ, &key)))
        return index;
    RtlInitUnicodeString(&name, T5SI_MODULE_VALUE_W);
    if (NT_SUCCESS(ZwQueryValueKey(key, &name, KeyValuePartialInformation, info, sizeof buffer, &length))
        && info->Type == REG_DWORD && info->DataLength == sizeof(ULONG))
        index = *(const ULONG*)info->Data;
    ZwClose(key);
    return index;
}

static const GUID kModuleClass = {
    0x79706367, 0x88C8, 0x4CA5, {0x8D, 0x45, 0x45, 0xC3, 0x32, 0xC5, 0x15, 0x28}};

static NTSTATUS NTAPI addDevice(PDRIVER_OBJECT driver, PDEVICE_OBJECT pdo)
{
    PDEVICE_OBJECT fdo;
    ModuleExt* module;
    NTSTATUS status;
    ULONG index = readModuleIndex(pdo);
    KIRQL irql;

    status = IoCreateDevice(driver, sizeof(ModuleExt), NULL, FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE,
                            &fdo);
    if (!NT_SUCCESS(status))
        return status;
    module = (ModuleExt*)fdo->DeviceExtension;
    RtlZeroMemory(module, sizeof *module);
    module->kind = EXT_MODULE;
    module->self = fdo;
    KeAcquireSpinLock(&g_lock, &irql);
    if (index >= T5SI_MAX_MODULES || g_modules[index]) {
        /* No index of its own (a device set up by hand): the next free place. */
        for (index = g_nextModuleIndex; index < T5SI_MAX_MODULES && g_modules[index]; ++index)
            ;
    }
    if (index < T5SI_MAX_MODULES) {
        g_modules[index] = module;
        g_nextModuleIndex = index + 1;
    }
    KeReleaseSpinLock(&g_lock, irql);
    if (index >= T5SI_MAX_MODULES) {
        IoDeleteDevice(fdo);
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    module->moduleIndex = index;
    status = IoRegisterDeviceInterface(pdo, &kModuleClass, NULL, &module->link);
    if (NT_SUCCESS(status))
        module->linkValid = TRUE;
    module->lower = IoAttachDeviceToDeviceStack(fdo, pdo);
    if (!module->lower || !module->linkValid) {
        KeAcquireSpinLock(&g_lock, &irql);
        g_modules[index] = NULL;
        KeReleaseSpinLock(&g_lock, irql);
        if (module->linkValid)
            RtlFreeUnicodeString(&module->link);
        if (module->lower)
            IoDetachDevice(module->lower);
        IoDeleteDevice(fdo);
        return NT_SUCCESS(status) ? STATUS_NO_SUCH_DEVICE : status;
    }
    fdo->Flags |= DO_BUFFERED_IO | DO_POWER_PAGABLE;
    fdo->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

/* Every 100 ms: requests older than the timeout fail, and the host counts as stalled. */
static VOID NTAPI timerThread(PVOID context)
{
    LARGE_INTEGER period;
    (void)context;
    period.QuadPart = -1000000LL; /* 100 ms, relative */
    for (;;) {
        LIST_ENTRY expired;
        LIST_ENTRY* lists[2];
        KIRQL irql;
        int i;
        if (KeWaitForSingleObject(&g_stopTimer, Executive, KernelMode, FALSE, &period) == STATUS_SUCCESS)
            break;
        InitializeListHead(&expired);
        lists[0] = &g_waiting;
        lists[1] = &g_inflight;
        KeAcquireSpinLock(&g_lock, &irql);
        for (i = 0; i < 2; ++i) {
            LIST_ENTRY* e = lists[i]->Flink;
            while (e != lists[i]) {
                PIRP irp = CONTAINING_RECORD(e, IRP, Tail.Overlay.ListEntry);
                ULONG_PTR age = (ULONG_PTR)irp->Tail.Overlay.DriverContext[CTX_AGE] + 1;
                LIST_ENTRY* next = e->Flink;
                irp->Tail.Overlay.DriverContext[CTX_AGE] = (PVOID)age;
                if (age >= T5SI_TIMEOUT_TICKS) {
                    RemoveEntryList(e);
                    InsertTailList(&expired, e);
                    ++g_counts.timedOut;
                    g_stalled = TRUE;
                }
                e = next;
            }
        }
        KeReleaseSpinLock(&g_lock, irql);
        completeList(&expired, STATUS_IO_TIMEOUT);
    }
    PsTerminateSystemThread(STATUS_SUCCESS);
}

static VOID NTAPI unload(PDRIVER_OBJECT driver)
{
    UNICODE_STRING link;
    (void)driver;
    KeSetEvent(&g_stopTimer, IO_NO_INCREMENT, FALSE);
    if (g_timerThread) {
        ZwWaitForSingleObject(g_timerThread, FALSE, NULL);
        ZwClose(g_timerThread);
    }
    RtlInitUnicodeString(&link, T5SI_CONTROL_LINK_NAME);
    IoDeleteSymbolicLink(&link);
    if (g_control)
        IoDeleteDevice(g_control);
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath)
{
    UNICODE_STRING name, link;
    NTSTATUS status;
    int i;
    (void)registryPath;

    KeInitializeSpinLock(&g_lock);
    InitializeListHead(&g_waiting);
    InitializeListHead(&g_inflight);
    KeInitializeEvent(&g_stopTimer, NotificationEvent, FALSE);

    RtlInitUnicodeString(&name, T5SI_CONTROL_DEVICE_NAME);
    status = IoCreateDevice(driver, sizeof(ControlExt), &name, FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE,
                            &g_control);
    if (!NT_SUCCESS(status))
        return status;
    ((ControlExt*)g_control->DeviceExtension)->kind = EXT_CONTROL;
    RtlInitUnicodeString(&link, T5SI_CONTROL_LINK_NAME);
    status = IoCreateSymbolicLink(&link, &name);
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(g_control);
        return status;
    }
    g_control->Flags |= DO_BUFFERED_IO;
    g_control->Flags &= ~DO_DEVICE_INITIALIZING;

    status = PsCreateSystemThread(&g_timerThread, THREAD_ALL_ACCESS, NULL, NULL, NULL, timerThread, NULL);
    if (!NT_SUCCESS(status)) {
        IoDeleteSymbolicLink(&link);
        IoDeleteDevice(g_control);
        return status;
    }

    for (i = 0; i <= IRP_MJ_MAXIMUM_FUNCTION; ++i)
        driver->MajorFunction[i] = dispatch;
    driver->DriverExtension->AddDevice = addDevice;
    driver->DriverUnload = unload;
    return STATUS_SUCCESS;
}
