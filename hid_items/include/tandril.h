/**
 * @file tandril.h
 * @brief Tandril: HID devices as trees of items, through a plain C interface.
 *
 * A client enumerates the host's HID interfaces by position with
 * EnumHIDDevices(), opens one with OpenHIDDevice() and names its items either
 * by running index (GetItemByIndex()) or by path text. Path text is steps
 * separated by "&", each step three hexadecimal numbers "page:usage:number":
 * every step but the last names a link collection from the top-level one
 * down, the last names the item by usage page and the low 8 bits of its usage.
 *
 * Every function returns 0 on failure (and 1, or a handle, on success) and
 * then sets the calling thread's last-error code (GetLastHIDError()) where its
 * documentation says so; the codes are the Windows system error codes:
 * 87 for a handle that names no open device, 3 for path text that does not
 * parse, 122 for a buffer that is too small, 1248 past the last device.
 *
 * Functions run on the caller's thread. Opening and closing a device must not
 * happen on two threads at once.
 *
 * Inside the event callback (on the device's event worker thread) these calls
 * are safe, also while the client's thread uses the same device:
 * GetItemValue(), GetItemString(), SetItemValue(), GetItemByIndex(),
 * ConvertItemPath(), the three device-string calls, EnumHIDDevices(),
 * SetEventNotificationMask(), SetEventHandler() (it replaces the handler; the
 * worker is already running), GetLastHIDError(), SetLastHIDError(), and
 * CloseHIDDevice() of the callback's own device. A close of the same device
 * on the client's thread waits for the callback to return. Do not open a
 * device or close another device from inside a callback.
 */
#ifndef TANDRIL_H
#define TANDRIL_H

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

/** Calling convention of the exports: __stdcall on 32-bit Windows, empty elsewhere. */
#if defined(_WIN32) && !defined(_WIN64)
#define TANDRIL_CALL __stdcall
#else
#define TANDRIL_CALL
#endif

/** @name ItemFlags bits of ItemInfo::Flags
 *  GetItemByIndex() reports the bits 0x01 to 0x80; TANDRIL_FLAG_VOLATILE is
 *  part of the item model and not reported there.
 *  @{ */
#define TANDRIL_FLAG_FEATURE      0x001u /**< the item lives in a feature report */
#define TANDRIL_FLAG_INPUT        0x002u /**< the item lives in an input report */
#define TANDRIL_FLAG_OUTPUT       0x004u /**< the item lives in an output report */
#define TANDRIL_FLAG_DATA         0x008u /**< feature or output item that is Data, not Constant */
#define TANDRIL_FLAG_HAS_STRING   0x010u /**< value item with a string index (GetItemString()) */
#define TANDRIL_FLAG_NUMERIC      0x020u /**< value item without a string index (SetItemValue()) */
#define TANDRIL_FLAG_EVENT_SOURCE 0x040u /**< input item: its changes raise events */
#define TANDRIL_FLAG_BUTTON       0x080u /**< button item: value 0 or 1 */
#define TANDRIL_FLAG_VOLATILE     0x100u /**< feature item fetched from the device at every read */
/** @} */

/** @name Event codes passed to an EventCallback
 *  Each is one bit; SetEventNotificationMask() selects which reach the callback.
 *  @{ */
#define TANDRIL_EVENT_AC_PRESENT          0x01u /**< an input item with usage 0xD0 changed */
#define TANDRIL_EVENT_BELOW_CAPACITY      0x02u /**< an input item with usage 0x42 changed */
#define TANDRIL_EVENT_CHARGING            0x04u /**< an input item with usage 0x44 changed */
#define TANDRIL_EVENT_DISCHARGING         0x08u /**< an input item with usage 0x45 changed */
#define TANDRIL_EVENT_SHUTDOWN_IMMINENT   0x10u /**< an input item with usage 0x69 changed */
#define TANDRIL_EVENT_USAGE_64            0x20u /**< an input item with usage 0x64 changed */
#define TANDRIL_EVENT_READ_ERROR          0x40u /**< reading input reports failed; no more events */
#define TANDRIL_EVENT_COMMUNICATION_LOST  0x80u /**< an input item with usage 0x73 changed */
/** @} */

/** Identity of a HID interface, filled by EnumHIDDevices(). */
typedef struct HIDDeviceAttributes { uint16_t VendorID; uint16_t ProductID; uint16_t VersionNumber; } HIDDeviceAttributes;

/**
 * Description of one item, filled by GetItemByIndex(): units and unit
 * exponent (low 8 bits), logical range (0 to 1 for buttons), TANDRIL_FLAG_*
 * bits 0x01 to 0x80 in Flags (bits 8 to 31 keep what the record held) and
 * the item's report ID.
 */
typedef struct ItemInfo { uint32_t Units; uint16_t UnitExponent; int32_t LogicalMinimum; int32_t LogicalMaximum; uint32_t Flags; uint16_t ReportID; } ItemInfo;

/** Called on the device's event worker thread with the context given to
 *  SetEventHandler() and one TANDRIL_EVENT_* code; the result is not used. */
typedef int32_t (TANDRIL_CALL *EventCallback)(uintptr_t context, uint32_t eventCode);

/**
 * Reads the identity of the HID interface at @p position (0, 1, 2, ...).
 * Every interface from position 0 up to @p position is opened and queried in
 * turn. @return 1 with @p attributes filled; 0 with 1248 when there is no
 * interface at the position or one before it cannot be opened, 87 when
 * @p attributes is null, or the platform's code when attributes cannot be read.
 */
int32_t  TANDRIL_CALL EnumHIDDevices(uint16_t position, HIDDeviceAttributes *attributes);

/**
 * Opens the interface at @p position and builds its item model.
 * @return the device handle, position + 1; 0 with 87 for a position of 20 or
 * more, 170 when that position is already open (the open handle stays
 * valid), or the platform's code when the device cannot be opened or read.
 */
uint32_t TANDRIL_CALL OpenHIDDevice(uint16_t position);

/** Closes an open device and frees everything it holds. @return 1; 0 with 87
 *  for a handle that names no open device. */
int32_t  TANDRIL_CALL CloseHIDDevice(uint32_t device);

/**
 * Describes the item with running number @p index (items in depth-first
 * order of the collection tree). The canonical path goes to @p path;
 * @p pathSize holds the buffer's size and must be at least the text's length
 * + 1. @return 1; 0 with 87 for a bad handle or a null argument, 122 with
 * the size needed stored in @p pathSize, 206 when the item sits deeper than 18
 * collection levels, or 0 with the code unchanged when no item has the index.
 */
int32_t  TANDRIL_CALL GetItemByIndex(uint32_t device, uint16_t index, char *path, uint16_t *pathSize, ItemInfo *info);

/**
 * Rewrites an ordinal path (numbers count among siblings of the same usage
 * page and usage, input items first) into the canonical one, in place.
 * @return 1; 0 with 87 for a bad handle or no text, 3 for text that does not
 * parse, 122 when the canonical text is longer than the given one (the text
 * is left as it was), or the code unchanged when nothing matches.
 */
int32_t  TANDRIL_CALL ConvertItemPath(uint32_t device, char *path);

/**
 * Reads an item's value: an input item's last value once an input report has
 * carried it, else the feature item of the same usage (fetching its report
 * the first time, and every time for a volatile item). Values are the raw
 * field bits; buttons give 0 or 1.
 * @return 1; 0 with 87 (bad handle or null @p value), 3 (path does not
 * parse), the code unchanged when no such item exists, or the platform's code.
 */
int32_t  TANDRIL_CALL GetItemValue(uint32_t device, const char *path, int32_t *value);

/**
 * Writes a numeric feature or output value item: one report with this field
 * set and every other field 0. @return 1 when the report was sent; 0 with
 * 87, 3, the code unchanged when no writable numeric item matches, or the
 * platform's code.
 */
int32_t  TANDRIL_CALL SetItemValue(uint32_t device, const char *path, int32_t value);

/**
 * Reads the string the descriptor attaches to an input or feature value
 * item, as wide characters, into @p buffer of @p length bytes (low 16 bits
 * used; a byte count, so each character takes sizeof(wchar_t): 2 on Windows,
 * 4 elsewhere). @return 1; 0 with 87 for a bad handle or null buffer, 122
 * when the string and its terminating NUL do not fit, the code unchanged
 * when the path does not parse or names no item with a string, or the
 * platform's code.
 */
int32_t  TANDRIL_CALL GetItemString(uint32_t device, const char *path, wchar_t *buffer, uint32_t length);

/**
 * Installs @p callback (may be null) with @p context and starts the device's
 * event worker (once; a worker that has ended is not started again). The
 * callback runs on the worker's thread and always gets the context installed
 * with it. CloseHIDDevice() waits for a callback that is running; called from
 * inside the callback, it returns at once and the device is freed when the
 * callback returns. @return 1; 0 with 87 for a bad handle, or 8 when the
 * worker cannot be started.
 */
int32_t  TANDRIL_CALL SetEventHandler(uint32_t device, EventCallback callback, uintptr_t context);

/** Selects the TANDRIL_EVENT_* codes that reach the callback (0 at open).
 *  @return 1; 0 with 87 for a bad handle. */
int32_t  TANDRIL_CALL SetEventNotificationMask(uint32_t device, uint32_t mask);

/** The device's manufacturer string, wide characters with a terminating NUL,
 *  into @p buffer of @p length bytes. The length counts bytes, so each
 *  character takes sizeof(wchar_t) of it (2 on Windows, 4 elsewhere): pass
 *  sizeof buffer, not its number of elements. @return 1; 0 with 87 for a bad
 *  handle or null buffer, 122 (ERROR_INSUFFICIENT_BUFFER) when the string and
 *  its NUL do not fit, 31 when the device has no such string, or another
 *  code of the platform. */
int32_t  TANDRIL_CALL GetManufacturerString(uint32_t device, wchar_t *buffer, uint32_t length);

/** The device's product string; as GetManufacturerString(). */
int32_t  TANDRIL_CALL GetProductString(uint32_t device, wchar_t *buffer, uint32_t length);

/** The device's serial-number string; as GetManufacturerString(). */
int32_t  TANDRIL_CALL GetSerialNumberString(uint32_t device, wchar_t *buffer, uint32_t length);

/** The calling thread's last-error code. */
uint32_t TANDRIL_CALL GetLastHIDError(void);

/** Sets the calling thread's last-error code. */
void     TANDRIL_CALL SetLastHIDError(uint32_t code);

#ifdef __cplusplus
}
#endif

#endif /* TANDRIL_H */
