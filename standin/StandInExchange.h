/* The records the stand-in driver and its host exchange (both on one machine,
 * little-endian, naturally aligned: no padding anywhere), and the control
 * codes of the driver's own control device. C, for the driver; C++ for the host.
 *
 * The host holds one exchange request pending in the driver. Its input carries
 * the reply to the request it was last given (none the first time); the driver
 * completes it with the next request of a program as soon as there is one. */
#ifndef TELVAR5_STANDIN_EXCHANGE_H
#define TELVAR5_STANDIN_EXCHANGE_H

#include <stdint.h>

#define T5SI_MAGIC 0x49533554u /* "T5SI" */
#define T5SI_VERSION 1u
#define T5SI_MAX_DATA 4096u    /* larger records are refused by the driver itself */
#define T5SI_MAX_MODULES 16u   /* enumeration indexes 0..15, as the configuration's */
#define T5SI_TIMEOUT_TICKS 20u /* 100 ms ticks a program's request waits for the host */

/* The control device the host opens: \\.\Telvar5StandIn */
#define T5SI_CONTROL_DEVICE_NAME L"\\Device\\Telvar5StandIn"
#define T5SI_CONTROL_LINK_NAME L"\\DosDevices\\Telvar5StandIn"
#define T5SI_CONTROL_PATH_A "\\\\.\\Telvar5StandIn"

/* The per-device registry value (DIREG_DEV) naming the module's place in the configuration. */
#define T5SI_MODULE_VALUE_A "Telvar5Module"
#define T5SI_MODULE_VALUE_W L"Telvar5Module"

/* Control codes of the control device: FILE_DEVICE_UNKNOWN, METHOD_BUFFERED, FILE_ANY_ACCESS. */
#define T5SI_CODE(function) ((0x22u << 16) | ((function) << 2))
#define T5SI_IOCTL_ATTACH T5SI_CODE(0xA00u)   /* in: T5siAttach; one host at a time */
#define T5SI_IOCTL_EXCHANGE T5SI_CODE(0xA01u) /* in: T5siReply (header + data); out: T5siRequest */
#define T5SI_IOCTL_ECHO T5SI_CODE(0xA02u)     /* the driver answers alone: out := in */
#define T5SI_IOCTL_STATUS T5SI_CODE(0xA03u)   /* out: T5siStatus */

enum T5siKind {
    T5SI_OPEN = 1,    /* a program opens a module: the host opens it on the virtual driver */
    T5SI_CLOSE = 2,   /* the program's handle was closed */
    T5SI_CONTROL = 3, /* one device-control request */
};

typedef struct T5siRequest {
    uint32_t magic;
    uint32_t sequence;     /* never 0 */
    uint32_t kind;         /* T5siKind */
    uint32_t moduleIndex;  /* the module's place in the configuration */
    uint64_t moduleHandle; /* the host's handle of the open module (close, control) */
    uint32_t code;         /* control code */
    uint32_t inSize;       /* bytes of data that follow */
    uint32_t outSize;      /* room the program gave for the reply */
    uint32_t reserved;
    uint8_t data[T5SI_MAX_DATA];
} T5siRequest;

typedef struct T5siReply {
    uint32_t magic;
    uint32_t sequence;      /* the request answered; 0: no reply carried */
    uint32_t error;         /* 0: done; otherwise the Windows error code of the failure */
    uint32_t bytesReturned; /* bytes of data that follow (control) */
    uint64_t moduleHandle;  /* the host's handle of a module just opened */
    uint8_t data[T5SI_MAX_DATA];
} T5siReply;

/* A host attaches with the modules its configuration holds but that fail to
 * open. Wine hands a program its handle before the driver has answered the
 * open, whatever the answer; so the interfaces of these modules are listed
 * but lead nowhere, and CreateFileA fails on them (ERROR_FILE_NOT_FOUND). */
typedef struct T5siAttach {
    uint32_t version;    /* T5SI_VERSION */
    uint32_t unopenable; /* bit i: module i fails to open */
} T5siAttach;

typedef struct T5siStatus {
    uint32_t hostAttached;    /* 1 while a host serves */
    uint32_t modules;         /* devices the driver drives */
    uint32_t interfacesOn;    /* of them, with their interface enabled */
    uint32_t reserved;
    uint64_t forwarded;       /* requests handed to a host (open, close, control) */
    uint64_t answered;        /* of them, answered by the host */
    uint64_t timedOut;        /* failed because the host did not answer in time */
    uint64_t withdrawn;       /* failed because the host went away */
    uint64_t refused;         /* failed at once: no host, a stalled host, a removed module */
} T5siStatus;

#define T5SI_REQUEST_HEADER 40u
#define T5SI_REPLY_HEADER 24u

#ifdef __cplusplus
static_assert(sizeof(T5siRequest) == T5SI_REQUEST_HEADER + T5SI_MAX_DATA, "no padding");
static_assert(sizeof(T5siReply) == T5SI_REPLY_HEADER + T5SI_MAX_DATA, "no padding");
static_assert(sizeof(T5siStatus) == 56, "no padding");
static_assert(sizeof(T5siAttach) == 8, "no padding");
#else
_Static_assert(sizeof(T5siRequest) == T5SI_REQUEST_HEADER + T5SI_MAX_DATA, "no padding");
_Static_assert(sizeof(T5siReply) == T5SI_REPLY_HEADER + T5SI_MAX_DATA, "no padding");
_Static_assert(sizeof(T5siStatus) == 56, "no padding");
_Static_assert(sizeof(T5siAttach) == 8, "no padding");
#endif

#endif
