// Discovery, open and close of a reader interface.
#include "reader_link/reader_device.h"

#include "reader_link/reader_link.h"

#include <algorithm>
#include <new>
#include <vector>

namespace readerlink {

int32_t ReaderGeneration = kGenerationNone;

namespace {

// The path at `memberIndex`, or empty when there is none.
std::string PathAtPosition(int32_t memberIndex, bool* listed) {
  *listed = false;
  std::vector<std::string> paths;
  if (!hidhost::CurrentHost().EnumerateInterfaces(&paths)) return {};
  if (memberIndex < 0 || static_cast<size_t>(memberIndex) >= paths.size()) return {};
  *listed = true;
  return paths[static_cast<size_t>(memberIndex)];
}

char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Paths compare without regard to letter case. Only ASCII letters fold, so
// the bytes of a multibyte character never match anything but themselves.
bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace

bool GetInterfacePath(int32_t memberIndex, std::string* path) {
  if (path) path->clear();
  bool listed = false;
  std::string found = PathAtPosition(memberIndex, &listed);
  if (found.empty()) return false;
  if (path) *path = std::move(found);
  return true;
}

std::optional<ReaderInterface> ProbeReader(const std::string& path, int32_t position) {
  if (path.empty()) return std::nullopt;
  std::unique_ptr<hidhost::Device> query = hidhost::CurrentHost().Open(path, hidhost::Access::Query);
  if (!query) return std::nullopt;
  hidhost::Attributes attributes;
  if (!query->GetAttributes(&attributes) || attributes.VendorID != kReaderVendorId) {
    return std::nullopt;
  }
  ReaderInterface reader{position, path, attributes.ProductID, Generation::None};
  if (attributes.ProductID == kLegacyReaderProductId) {
    reader.generation = Generation::Legacy;
  } else if (attributes.ProductID == kCurrentReaderProductId) {
    reader.generation = Generation::Current;
  } else {
    // Another product of the same vendor, such as a keyboard interface with
    // product ID 0, is no reader.
    return std::nullopt;
  }
  ReaderGeneration = static_cast<int32_t>(reader.generation);
  return reader;
}

std::vector<ReaderInterface> ScanReaders() {
  std::vector<ReaderInterface> readers;
  std::vector<std::string> paths;
  if (!hidhost::CurrentHost().EnumerateInterfaces(&paths)) return readers;
  const size_t probed = std::min(paths.size(), static_cast<size_t>(kScanPositions));
  for (size_t i = 0; i < probed; ++i) {
    if (std::optional<ReaderInterface> reader = ProbeReader(paths[i], static_cast<int32_t>(i))) {
      readers.push_back(std::move(*reader));
    }
  }
  return readers;
}

std::unique_ptr<ReaderDevice> Open(const std::string& path, hidhost::Access access) {
  auto device = std::make_unique<ReaderDevice>(access);
  if (!device->OpenByPath(path)) return nullptr;
  return device;
}

ReaderDevice::ReaderDevice(hidhost::Access access) : access_(access) {}

ReaderDevice::~ReaderDevice() { Close(); }

bool ReaderDevice::ProbeInterface(InterfaceKind* kind, int32_t memberIndex, std::string* path) {
  if (kind) *kind = InterfaceKind::Other;
  if (path) path->clear();

  bool listed = false;
  const std::string found = PathAtPosition(memberIndex, &listed);
  if (!listed) return false;
  // From here on the interface exists; whatever fails only means "no match".
  const std::optional<ReaderInterface> reader = ProbeReader(found, memberIndex);
  if (!reader) return true;
  productId_ = reader->productId;
  if (path) *path = found;
  if (kind) *kind = InterfaceKind::Reader;
  return true;
}

bool ReaderDevice::OpenByIndex(int32_t memberIndex) {
  if (open_) return true;
  memberIndex_ = memberIndex;
  std::string path;
  if (!GetInterfacePath(memberIndex, &path) || path.empty()) return false;
  open_ = OpenByPath(path);
  return open_;
}

bool ReaderDevice::OpenByPath(const std::string& path) {
  if (path.empty()) return false;
  if (SamePath(devicePath_, path)) return true;
  if (handle_) Close();

  std::unique_ptr<hidhost::Device> handle = hidhost::CurrentHost().Open(path, access_);
  if (!handle) return false;
  // Everything acquired below is held locally and released on return unless
  // the open succeeds.
  hidhost::Attributes attributes;
  if (!handle->GetAttributes(&attributes) || attributes.VendorID != kReaderVendorId) return false;
  hid::PreparsedPtr preparsed = handle->GetPreparsedData();
  if (!preparsed) return false;
  std::unique_ptr<hid::HIDP_CAPS> caps(new (std::nothrow) hid::HIDP_CAPS{});
  if (!caps) return false;
  if (hid::HidP_GetCaps(preparsed.get(), caps.get()) != hid::HIDP_STATUS_SUCCESS) return false;

  devicePath_ = path;
  handle_ = std::move(handle);
  preparsed_ = std::move(preparsed);
  caps_ = std::move(caps);
  return true;
}

bool ReaderDevice::Close() {
  caps_.reset();
  preparsed_.reset();
  handle_.reset();
  devicePath_.clear();
  open_ = false;
  return true;
}

hidhost::Access ReaderDevice::GetAccess() const { return access_; }

hidhost::Device* ReaderDevice::GetHandle() const { return handle_.get(); }

std::string ReaderDevice::GetDevicePath() const { return devicePath_; }

}  // namespace readerlink
