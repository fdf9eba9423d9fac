#include "skelmar/win_exception.h"

#include <cstdio>
#include <new>

#include "hidhost/errors.h"

namespace skelmar {

std::string CreateDialogErrorText(uint32_t code) {
  char text[32];
  std::snprintf(text, sizeof text, "Error x%x", code);
  return text;
}

std::string ExceptionText(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const WinException& e) {
    return e.message ? e.message : "Unknown";
  } catch (const std::bad_alloc&) {
    return "Out of memory";
  } catch (...) {
    return "Unknown";
  }
}

uint32_t ExceptionCode(const std::exception_ptr& error, uint32_t otherwise) {
  try {
    std::rethrow_exception(error);
  } catch (const WinException& e) {
    return e.code;
  } catch (const std::bad_alloc&) {
    return hidhost::kErrorNotEnoughMemory;
  } catch (...) {
    return otherwise;
  }
}

}  // namespace skelmar
