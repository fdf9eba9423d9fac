// The HID report model: what a report descriptor says about one top-level
// collection, in the shape of the Windows HID parser's preparsed data.
//
// ParseReportDescriptor() turns raw descriptor bytes into one model per
// top-level collection. The HidP_* functions query a model and read or write
// fields of report buffers. Types, field orders, meanings and status codes
// follow the Windows HID parser, so code written against that model works
// unchanged on top of this one.
//
// Report buffers: byte 0 is the report ID (0 when the collection uses none),
// fields start at byte 1, bits are little-endian (LSB of a byte first).
//
// A null pointer where a function must read or write gives HIDP_STATUS_NULL
// (after the preparsed-data and report-type checks). Models are immutable
// once parsed, so any number of threads may query one at the same time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hidhost/export.h"

namespace hid {

using USAGE = uint16_t;
using NTSTATUS = int32_t;
using BOOLEAN = uint8_t;
using UCHAR = uint8_t;
using USHORT = uint16_t;
using ULONG = uint32_t;
using LONG = int32_t;

enum HIDP_REPORT_TYPE : int32_t { HidP_Input = 0, HidP_Output = 1, HidP_Feature = 2 };

struct USAGE_AND_PAGE {
  USAGE Usage;
  USAGE UsagePage;
};

// Status codes: severity << 28 | 0x11 << 16 | code.
constexpr NTSTATUS HidpStatus(uint32_t v) { return static_cast<NTSTATUS>(v); }
constexpr NTSTATUS HIDP_STATUS_SUCCESS = HidpStatus(0x00110000u);
constexpr NTSTATUS HIDP_STATUS_NULL = HidpStatus(0x80110001u);
constexpr NTSTATUS HIDP_STATUS_INVALID_PREPARSED_DATA = HidpStatus(0xC0110001u);
constexpr NTSTATUS HIDP_STATUS_INVALID_REPORT_TYPE = HidpStatus(0xC0110002u);
constexpr NTSTATUS HIDP_STATUS_INVALID_REPORT_LENGTH = HidpStatus(0xC0110003u);
constexpr NTSTATUS HIDP_STATUS_USAGE_NOT_FOUND = HidpStatus(0xC0110004u);
constexpr NTSTATUS HIDP_STATUS_VALUE_OUT_OF_RANGE = HidpStatus(0xC0110005u);
constexpr NTSTATUS HIDP_STATUS_BAD_LOG_PHY_VALUES = HidpStatus(0xC0110006u);
constexpr NTSTATUS HIDP_STATUS_BUFFER_TOO_SMALL = HidpStatus(0xC0110007u);
constexpr NTSTATUS HIDP_STATUS_INTERNAL_ERROR = HidpStatus(0xC0110008u);
constexpr NTSTATUS HIDP_STATUS_I8042_TRANS_UNKNOWN = HidpStatus(0xC0110009u);
constexpr NTSTATUS HIDP_STATUS_INCOMPATIBLE_REPORT_ID = HidpStatus(0xC011000Au);
constexpr NTSTATUS HIDP_STATUS_NOT_VALUE_ARRAY = HidpStatus(0xC011000Bu);
constexpr NTSTATUS HIDP_STATUS_IS_VALUE_ARRAY = HidpStatus(0xC011000Cu);
constexpr NTSTATUS HIDP_STATUS_DATA_INDEX_NOT_FOUND = HidpStatus(0xC011000Du);
constexpr NTSTATUS HIDP_STATUS_DATA_INDEX_OUT_OF_RANGE = HidpStatus(0xC011000Eu);
constexpr NTSTATUS HIDP_STATUS_BUTTON_NOT_PRESSED = HidpStatus(0xC011000Fu);
constexpr NTSTATUS HIDP_STATUS_REPORT_DOES_NOT_EXIST = HidpStatus(0xC0110010u);
constexpr NTSTATUS HIDP_STATUS_NOT_IMPLEMENTED = HidpStatus(0xC0110020u);
constexpr NTSTATUS HIDP_STATUS_NOT_BUTTON_ARRAY = HidpStatus(0xC0110021u);

// 64 bytes, every field 16-bit, in this order.
struct HIDP_CAPS {
  USAGE Usage;
  USAGE UsagePage;
  USHORT InputReportByteLength;
  USHORT OutputReportByteLength;
  USHORT FeatureReportByteLength;
  USHORT Reserved[17];
  USHORT NumberLinkCollectionNodes;
  USHORT NumberInputButtonCaps;
  USHORT NumberInputValueCaps;
  USHORT NumberInputDataIndices;
  USHORT NumberOutputButtonCaps;
  USHORT NumberOutputValueCaps;
  USHORT NumberOutputDataIndices;
  USHORT NumberFeatureButtonCaps;
  USHORT NumberFeatureValueCaps;
  USHORT NumberFeatureDataIndices;
};
static_assert(sizeof(HIDP_CAPS) == 64);

struct HIDP_LINK_COLLECTION_NODE {
  USAGE LinkUsage;
  USAGE LinkUsagePage;
  USHORT Parent;
  USHORT NumberOfChildren;
  USHORT NextSibling;
  USHORT FirstChild;
  ULONG CollectionType : 8;
  ULONG IsAlias : 1;
  ULONG Reserved : 23;
  void* UserContext;
};

struct HIDP_RANGE {
  USAGE UsageMin, UsageMax;
  USHORT StringMin, StringMax;
  USHORT DesignatorMin, DesignatorMax;
  USHORT DataIndexMin, DataIndexMax;
};
struct HIDP_NOT_RANGE {
  USAGE Usage, Reserved1;
  USHORT StringIndex, Reserved2;
  USHORT DesignatorIndex, Reserved3;
  USHORT DataIndex, Reserved4;
};

// 72 bytes.
struct HIDP_BUTTON_CAPS {
  USAGE UsagePage;
  UCHAR ReportID;
  BOOLEAN IsAlias;
  USHORT BitField;
  USHORT LinkCollection;
  USAGE LinkUsage;
  USAGE LinkUsagePage;
  BOOLEAN IsRange;
  BOOLEAN IsStringRange;
  BOOLEAN IsDesignatorRange;
  BOOLEAN IsAbsolute;
  USHORT ReportCount;
  USHORT Reserved2;
  ULONG Reserved[9];
  union {
    HIDP_RANGE Range;
    HIDP_NOT_RANGE NotRange;
  };
};
static_assert(sizeof(HIDP_BUTTON_CAPS) == 72);

// 72 bytes.
struct HIDP_VALUE_CAPS {
  USAGE UsagePage;
  UCHAR ReportID;
  BOOLEAN IsAlias;
  USHORT BitField;
  USHORT LinkCollection;
  USAGE LinkUsage;
  USAGE LinkUsagePage;
  BOOLEAN IsRange;
  BOOLEAN IsStringRange;
  BOOLEAN IsDesignatorRange;
  BOOLEAN IsAbsolute;
  BOOLEAN HasNull;
  UCHAR Reserved;
  USHORT BitSize;
  USHORT ReportCount;
  USHORT Reserved2[5];
  ULONG UnitsExp;
  ULONG Units;
  LONG LogicalMin, LogicalMax;
  LONG PhysicalMin, PhysicalMax;
  union {
    HIDP_RANGE Range;
    HIDP_NOT_RANGE NotRange;
  };
};
static_assert(sizeof(HIDP_VALUE_CAPS) == 72);

// The model of one top-level collection. Opaque; defined by the parser.
struct HIDP_PREPARSED_DATA;
using PHIDP_PREPARSED_DATA = const HIDP_PREPARSED_DATA*;
using PreparsedPtr = std::shared_ptr<const HIDP_PREPARSED_DATA>;

// Limits that keep a lying descriptor from costing unbounded memory or time.
// A descriptor beyond any of them is refused with a reason.
constexpr size_t kMaxDescriptorBytes = 16384;       // longer than any real device's
constexpr size_t kMaxCollections = 1024;           // link collections in the whole descriptor
constexpr size_t kMaxNestingDepth = 64;
constexpr size_t kMaxMainItems = 4096;             // Input/Output/Feature items in all
constexpr size_t kMaxCapsRecords = 8192;           // button + value records in all
constexpr size_t kMaxUsagesPerItem = 1024;         // local usages queued for one main item
constexpr uint32_t kMaxReportBits = 8 * 8192;      // one report, report-ID byte included
constexpr size_t kMaxPushDepth = 32;

struct ParseResult {
  // One model per top-level collection, in descriptor order. Empty on error.
  std::vector<PreparsedPtr> collections;
  // True when any Report ID item appears anywhere in the descriptor.
  bool usesReportIds = false;
  // Empty on success; otherwise why the descriptor was refused, as
  // "byte <offset>: <reason>" with the offset of the offending item.
  std::string error;
  bool ok() const { return error.empty(); }
};

HIDHOST_API ParseResult ParseReportDescriptor(const uint8_t* data, size_t length);

// Capability queries. `pp` may be null: INVALID_PREPARSED_DATA.
HIDHOST_API NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA pp, HIDP_CAPS* caps);
// *length: capacity in, node count out (also on BUFFER_TOO_SMALL).
HIDHOST_API NTSTATUS HidP_GetLinkCollectionNodes(HIDP_LINK_COLLECTION_NODE* nodes, ULONG* length,
                                                 PHIDP_PREPARSED_DATA pp);
// Filters of 0 mean "any". *length: capacity in, records matched out.
HIDHOST_API NTSTATUS HidP_GetSpecificButtonCaps(HIDP_REPORT_TYPE type, USAGE usagePage,
                                                USHORT linkCollection, USAGE usage,
                                                HIDP_BUTTON_CAPS* caps, USHORT* length,
                                                PHIDP_PREPARSED_DATA pp);
HIDHOST_API NTSTATUS HidP_GetSpecificValueCaps(HIDP_REPORT_TYPE type, USAGE usagePage,
                                               USHORT linkCollection, USAGE usage,
                                               HIDP_VALUE_CAPS* caps, USHORT* length,
                                               PHIDP_PREPARSED_DATA pp);
HIDHOST_API NTSTATUS HidP_GetButtonCaps(HIDP_REPORT_TYPE type, HIDP_BUTTON_CAPS* caps,
                                        USHORT* length, PHIDP_PREPARSED_DATA pp);
HIDHOST_API NTSTATUS HidP_GetValueCaps(HIDP_REPORT_TYPE type, HIDP_VALUE_CAPS* caps,
                                       USHORT* length, PHIDP_PREPARSED_DATA pp);

// Field access. Usage page and usage are exact; linkCollection 0 means any.
// Values are raw bits, zero-extended, never scaled. A field wider than 32
// bits does not fit a ULONG: reading or writing it gives BUFFER_TOO_SMALL.
HIDHOST_API NTSTATUS HidP_GetUsageValue(HIDP_REPORT_TYPE type, USAGE usagePage,
                                        USHORT linkCollection, USAGE usage, ULONG* value,
                                        PHIDP_PREPARSED_DATA pp, const char* report,
                                        ULONG reportLength);
HIDHOST_API NTSTATUS HidP_SetUsageValue(HIDP_REPORT_TYPE type, USAGE usagePage,
                                        USHORT linkCollection, USAGE usage, ULONG value,
                                        PHIDP_PREPARSED_DATA pp, char* report,
                                        ULONG reportLength);
// Active buttons of a report as usage-and-page pairs. *length: capacity in,
// count out (the required count on BUFFER_TOO_SMALL). An array slot holds
// the 1-based position of a usage in its item's usage list, 0 when empty;
// an item whose list starts at usage 0 (keyboard style) holds the position
// counted from 0, so its values are the usages themselves.
HIDHOST_API NTSTATUS HidP_GetUsagesEx(HIDP_REPORT_TYPE type, USHORT linkCollection,
                                      USAGE_AND_PAGE* list, ULONG* length,
                                      PHIDP_PREPARSED_DATA pp, const char* report,
                                      ULONG reportLength);
HIDHOST_API NTSTATUS HidP_GetUsages(HIDP_REPORT_TYPE type, USAGE usagePage,
                                    USHORT linkCollection, USAGE* list, ULONG* length,
                                    PHIDP_PREPARSED_DATA pp, const char* report,
                                    ULONG reportLength);
HIDHOST_API ULONG HidP_MaxUsageListLength(HIDP_REPORT_TYPE type, USAGE usagePage,
                                          PHIDP_PREPARSED_DATA pp);
// Zero-fills the report and sets byte 0 to `reportId`.
HIDHOST_API NTSTATUS HidP_InitializeReportForID(HIDP_REPORT_TYPE type, UCHAR reportId,
                                                PHIDP_PREPARSED_DATA pp, char* report,
                                                ULONG reportLength);

// One report of a collection: its ID (0 when the collection uses none) and
// its own length in bytes, the ID byte included.
struct ReportLength {
  UCHAR ReportID;
  USHORT ByteLength;
};

// Every report of `type` in the collection, by ascending ID: each report ID
// that items of that type give at least one bit. The caps byte length of
// the type is the longest of them. Empty for bad arguments.
HIDHOST_API std::vector<ReportLength> GetReportLengths(HIDP_REPORT_TYPE type, PHIDP_PREPARSED_DATA pp);
// The length of report `reportId` of `type`, ID byte included; 0 when the
// collection has no such report (or for bad arguments).
HIDHOST_API USHORT GetReportByteLength(HIDP_REPORT_TYPE type, UCHAR reportId, PHIDP_PREPARSED_DATA pp);

// A readable multi-line dump of one model: caps, nodes and every record.
// Stable text, used by golden tests and the descriptor dump tool.
HIDHOST_API std::string DumpPreparsedData(PHIDP_PREPARSED_DATA pp);

}  // namespace hid
