#include "emulated_sysfs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "text/wide_text.h"

namespace hidhost::hidraw::testing {

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string Hex4(uint16_t value, bool upper) {
  char text[8];
  std::snprintf(text, sizeof text, upper ? "%04X" : "%04x", value);
  return text;
}

std::string UsbDirectory(uint32_t minor) { return "devices/usb1/1-" + std::to_string(minor + 1); }

}  // namespace

std::string HidName(const sim::DeviceDefinition& definition) {
  std::string name = definition.manufacturer ? Utf8FromWide(*definition.manufacturer) : "";
  if (definition.product) name += (name.empty() ? "" : " ") + Utf8FromWide(*definition.product);
  if (name.empty()) {
    name = "HID " + Hex4(definition.attributes.VendorID, false) + ":" +
           Hex4(definition.attributes.ProductID, false);
  }
  return name;
}

EmulatedSysfs::EmulatedSysfs(std::string root) : root_(std::move(root)) {
  fs::create_directories(fs::path(root_) / "class/hidraw");
}

std::string EmulatedSysfs::HidDirectory(uint32_t minor, const sim::DeviceDefinition& definition,
                                        bool usb) const {
  const std::string hidName = (usb ? "0003:" : "0006:") + Hex4(definition.attributes.VendorID, true) +
                              ":" + Hex4(definition.attributes.ProductID, true) + "." +
                              Hex4(static_cast<uint16_t>(minor + 1), true);
  const std::string parent = usb ? UsbDirectory(minor) + "/1-" + std::to_string(minor + 1) + ":1.0"
                                 : "devices/virtual/misc/uhid";
  return parent + "/" + hidName;
}

void EmulatedSysfs::AddNode(uint32_t minor, const sim::DeviceDefinition& definition, bool usb) {
  const fs::path root(root_);
  const std::string node = "hidraw" + std::to_string(minor);
  const std::string hidDir = HidDirectory(minor, definition, usb);
  const std::string serial = definition.serial ? Utf8FromWide(*definition.serial) : "";

  WriteFile(root / hidDir / "report_descriptor",
            std::string(definition.reportDescriptor.begin(), definition.reportDescriptor.end()));
  WriteFile(root / hidDir / "uevent",
            "DRIVER=hid-generic\nHID_ID=" + std::string(usb ? "0003" : "0006") + ":0000" +
                Hex4(definition.attributes.VendorID, true) + ":0000" +
                Hex4(definition.attributes.ProductID, true) + "\nHID_NAME=" + HidName(definition) +
                "\nHID_PHYS=usb-0000:00:14.0-" + std::to_string(minor + 1) +
                "/input0\nHID_UNIQ=" + serial + "\n");
  const fs::path nodeDir = root / hidDir / "hidraw" / node;
  WriteFile(nodeDir / "dev", "240:" + std::to_string(minor) + "\n");
  fs::create_directory_symlink("../..", nodeDir / "device");
  fs::create_directory_symlink(fs::path("../..") / hidDir / "hidraw" / node,
                               root / "class/hidraw" / node);
  if (!usb) return;
  const fs::path usbDir = root / UsbDirectory(minor);
  WriteFile(usbDir / ("1-" + std::to_string(minor + 1) + ":1.0") / "bInterfaceNumber", "00\n");
  WriteFile(usbDir / "idVendor", Hex4(definition.attributes.VendorID, false) + "\n");
  WriteFile(usbDir / "idProduct", Hex4(definition.attributes.ProductID, false) + "\n");
  WriteFile(usbDir / "bcdDevice", Hex4(definition.attributes.VersionNumber, false) + "\n");
  if (definition.manufacturer) WriteFile(usbDir / "manufacturer", Utf8FromWide(*definition.manufacturer) + "\n");
  if (definition.product) WriteFile(usbDir / "product", Utf8FromWide(*definition.product) + "\n");
  if (definition.serial) WriteFile(usbDir / "serial", serial + "\n");
}

void EmulatedSysfs::RemoveNode(uint32_t minor) {
  const fs::path root(root_);
  const fs::path link = root / "class/hidraw" / ("hidraw" + std::to_string(minor));
  std::error_code ec;
  const fs::path target = fs::canonical(link, ec);
  fs::remove(link, ec);
  if (!target.empty()) {
    // hidraw/hidrawN -> the HID device directory, which goes with it.
    fs::remove_all(target.parent_path().parent_path(), ec);
  }
  fs::remove_all(root / UsbDirectory(minor), ec);
}

void EmulatedSysfs::SetCapsLock(bool on) {
  WriteFile(fs::path(root_) / "class/leds/input3::capslock/brightness", on ? "1\n" : "0\n");
  WriteFile(fs::path(root_) / "class/leds/input3::numlock/brightness", "1\n");
}

}  // namespace hidhost::hidraw::testing
