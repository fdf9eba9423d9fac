#include "report_shape.h"

#include <algorithm>
#include <cstring>

#include "hidhost/errors.h"

namespace hidhost::hidraw {

ReportRequest CheckRequest(hid::PHIDP_PREPARSED_DATA pp, bool usesIds, hid::HIDP_REPORT_TYPE type,
                           size_t capsLength, const uint8_t* report, size_t length) {
  ReportRequest request;
  if (report == nullptr || capsLength == 0 || length < capsLength) {
    request.error = kErrorInvalidParameter;
    return request;
  }
  request.id = usesIds ? report[0] : 0;
  request.realLength = hid::GetReportByteLength(type, request.id, pp);
  if (request.realLength == 0) request.error = kErrorInvalidParameter;
  return request;
}

bool NormaliseInput(hid::PHIDP_PREPARSED_DATA pp, bool usesIds, size_t capsLength,
                    const uint8_t* raw, size_t rawLength, uint8_t* out) {
  size_t offset = 0;
  if (usesIds) {
    if (rawLength == 0 || hid::GetReportByteLength(hid::HidP_Input, raw[0], pp) == 0) return false;
  } else {
    if (hid::GetReportByteLength(hid::HidP_Input, 0, pp) == 0) return false;
    out[0] = 0;
    offset = 1;
  }
  const size_t copied = std::min(rawLength, capsLength - offset);
  std::memcpy(out + offset, raw, copied);
  std::memset(out + offset + copied, 0, capsLength - offset - copied);
  return true;
}

}  // namespace hidhost::hidraw
