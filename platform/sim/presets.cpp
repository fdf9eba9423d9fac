#include "presets.h"

namespace hidhost::sim {

namespace {

constexpr uint16_t kReaderVendor = 0x1C5E;
constexpr uint16_t kCurrentReaderProduct = 0x2420;
constexpr uint16_t kLegacyReaderProduct = 0x0200;

// A boot keyboard: modifiers, reserved byte, LED output, six key codes.
const std::vector<uint8_t> kBootKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25,
    0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05,
    0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91,
    0x01, 0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65,
    0x81, 0x00, 0xC0};

// The legacy setup interface: one 8-bit feature value, usage page 0xFF2D, usage 1.
const std::vector<uint8_t> kLegacySetup = {
    0x06, 0x2D, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x01, 0x15, 0x00, 0x26, 0xFF,
    0x00, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02, 0xC0};

// The current reader's configuration interface: one vendor-defined feature
// report without report ID, `length` bytes long with the ID byte.
std::vector<uint8_t> ReaderConfigDescriptor(size_t length) {
  const size_t count = length - 1;
  return {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00,
          0x75, 0x08, 0x96, static_cast<uint8_t>(count & 0xFF),
          static_cast<uint8_t>(count >> 8), 0xB1, 0x02, 0xC0};
}

// A power device: UPS > PowerSummary (status input report 1, string items in
// feature report 4) and Battery (capacity and run time in input and feature
// report 2, voltage in feature report 3).
const std::vector<uint8_t> kUps = {
    0x05, 0x84, 0x09, 0x04, 0xA1, 0x01,              // Power Device: UPS, application
    0x09, 0x24, 0xA1, 0x00,                          //   PowerSummary, physical
    0x85, 0x01,                                      //     report 1
    0x05, 0x85, 0x09, 0xD0, 0x09, 0x44, 0x09, 0x45,  //     ACPresent, Charging, Discharging,
    0x09, 0x42,                                      //     BelowRemainingCapacityLimit
    0x05, 0x84, 0x09, 0x69, 0x09, 0x73,              //     ShutdownImminent, CommunicationLost
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x06, 0x81, 0x02,  // 6 status bits
    0x95, 0x02, 0x81, 0x03,                          //     2 padding bits
    0x85, 0x04,                                      //     report 4: string items
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x01,
    0x09, 0xFD, 0x79, 0x01, 0xB1, 0x02,              //     iManufacturer, string 1
    0x09, 0xFE, 0x79, 0x02, 0xB1, 0x02,              //     iProduct, string 2
    0x09, 0xFF, 0x79, 0x03, 0xB1, 0x02,              //     iSerialNumber, string 3
    0x05, 0x85, 0x09, 0x89, 0x79, 0x04, 0xB1, 0x02,  //     iDeviceChemistry, string 4
    0xC0,
    0x05, 0x84, 0x09, 0x12, 0xA1, 0x00,              //   Battery, physical
    0x85, 0x02,                                      //     report 2
    0x05, 0x85, 0x15, 0x00, 0x25, 0x64, 0x75, 0x08, 0x95, 0x01,
    0x09, 0x66, 0x81, 0x02,                          //     RemainingCapacity (%), input
    0x09, 0x66, 0xB1, 0x02,                          //     and feature
    0x27, 0xFF, 0xFF, 0x00, 0x00, 0x75, 0x10,
    0x66, 0x01, 0x10, 0x55, 0x00,                    //     seconds, exponent 0
    0x09, 0x68, 0x81, 0x02,                          //     RunTimeToEmpty, input
    0x09, 0x68, 0xB1, 0x02,                          //     and feature
    0x85, 0x03,                                      //     report 3
    0x05, 0x84, 0x09, 0x30,                          //     Voltage
    0x67, 0x21, 0xD1, 0xF0, 0x00, 0x55, 0x05,        //     volt, exponent 5: centivolts
    0xB1, 0x02,
    0x65, 0x00, 0x55, 0x00,
    0xC0,
    0xC0};

// One mains-failure-and-return cycle: status (report 1), then capacity and
// run time (report 2).
const std::vector<InputReportDefinition> kUpsCycle = {
    {1000, {0x01, 0x03}}, {10, {0x02, 95, 0x10, 0x0E}},  // on mains, charging: 95 %, 3600 s
    {1000, {0x01, 0x01}}, {10, {0x02, 100, 0x3C, 0x0F}}, // charged: 100 %, 3900 s
    {2000, {0x01, 0x04}}, {10, {0x02, 80, 0x60, 0x09}},  // mains failure: 80 %, 2400 s
    {2000, {0x01, 0x0C}}, {10, {0x02, 20, 0x2C, 0x01}},  // below the limit: 20 %, 300 s
    {1000, {0x01, 0x1C}}, {10, {0x02, 10, 0x78, 0x00}},  // shutdown imminent: 10 %, 120 s
    {1000, {0x01, 0x3C}},                                // communication lost
    {1000, {0x01, 0x0B}}, {10, {0x02, 15, 0x58, 0x02}},  // mains back, charging: 15 %, 600 s
    {2000, {0x01, 0x03}}, {10, {0x02, 60, 0x60, 0x09}},  // charging: 60 %, 2400 s
};

DeviceDefinition ReaderDefinition(uint16_t product, std::vector<uint8_t> descriptor) {
  DeviceDefinition definition;
  definition.attributes = {kReaderVendor, product, 0x0214};
  definition.manufacturer = L"Varnholt";
  definition.product = product == kLegacyReaderProduct ? L"KAVRO USB KB Reader (older generation)"
                                                 : L"KAVRO USB KB Reader";
  definition.serial = product == kLegacyReaderProduct ? L"KV0200-004711" : L"KV2420-001207";
  definition.reportDescriptor = std::move(descriptor);
  return definition;
}

DeviceDefinition UpsDefinition() {
  DeviceDefinition definition;
  definition.attributes = {0x3B1D, 0x0A15, 0x0103};
  definition.manufacturer = L"Orvane Power";
  definition.product = L"Orvane UPS 1500";
  definition.serial = L"OV1500-2231-0042";
  definition.indexedStrings = {{1, L"Orvane Power"}, {2, L"Orvane UPS 1500"},
                         {3, L"OV1500-2231-0042"}, {4, L"PbAc"}};
  definition.reportDescriptor = kUps;
  definition.featureReports = {{2, {0x02, 100, 0x10, 0x0E}},
                         {3, {0x03, 0xC8, 0x0A}},  // 27.60 V
                         {4, {0x04, 1, 2, 3, 4}}};
  definition.inputReports = kUpsCycle;
  definition.repeatInputs = true;
  return definition;
}

void Apply(const PresetOverrides& o, DeviceDefinition* definition) {
  if (o.vendorId) definition->attributes.VendorID = *o.vendorId;
  if (o.productId) definition->attributes.ProductID = *o.productId;
  if (o.version) definition->attributes.VersionNumber = *o.version;
  if (o.manufacturer) definition->manufacturer = o.manufacturer;
  if (o.product) definition->product = o.product;
  if (o.serial) definition->serial = o.serial;
  if (o.openable) definition->openable = *o.openable;
  if (o.failSetFeature) definition->failSetFeature = *o.failSetFeature;
  if (o.failGetFeature) definition->failGetFeature = *o.failGetFeature;
  if (o.unplugAfterMs) definition->unplugAfterMs = o.unplugAfterMs;
  if (o.transcriptPath) definition->transcriptPath = *o.transcriptPath;
}

template <typename Model, typename... Extra>
bool Add(DeviceDefinition definition, const PresetOverrides& o, std::string* error,
         std::vector<std::shared_ptr<DeviceModel>>* models, const Extra&... extra) {
  Apply(o, &definition);
  std::string problem = ValidateDeviceDefinition(&definition);
  if (!problem.empty()) {
    *error = problem;
    return false;
  }
  models->push_back(std::make_shared<Model>(std::move(definition), extra...));
  return true;
}

}  // namespace

bool IsDevicePreset(const std::string& name) {
  return name == "reader" || name == "legacy-reader" || name == "ups";
}

bool IsHostPreset(const std::string& name) {
  return IsDevicePreset(name) || name == "both-readers" || name == "none";
}

std::vector<std::shared_ptr<DeviceModel>> MakePresetModels(const std::string& preset,
                                                           const PresetOverrides& o,
                                                           std::string* error) {
  std::vector<std::shared_ptr<DeviceModel>> models;
  bool ok = true;
  if (preset == "reader") {
    ok = Add<DeviceModel>(ReaderDefinition(kCurrentReaderProduct, kBootKeyboard), o, error, &models) &&
         Add<ReaderConfigModel>(
             ReaderDefinition(kCurrentReaderProduct, ReaderConfigDescriptor(o.reader.featureReportLength)),
             o, error, &models, o.reader);
  } else if (preset == "legacy-reader") {
    ok = Add<LegacySetupModel>(ReaderDefinition(kLegacyReaderProduct, kLegacySetup), o, error,
                               &models) &&
         Add<DeviceModel>(ReaderDefinition(kLegacyReaderProduct, kBootKeyboard), o, error, &models);
  } else if (preset == "ups") {
    ok = Add<DeviceModel>(UpsDefinition(), o, error, &models);
  } else {
    *error = "preset: unknown preset \"" + preset + "\"";
    ok = false;
  }
  if (!ok) models.clear();
  return models;
}

std::vector<std::shared_ptr<DeviceModel>> MakeHostPreset(const std::string& name) {
  std::string ignored;
  if (name == "both-readers") {
    auto models = MakePresetModels("legacy-reader", {}, &ignored);
    auto current = MakePresetModels("reader", {}, &ignored);
    models.insert(models.end(), current.begin(), current.end());
    return models;
  }
  if (name == "none") return {};
  return MakePresetModels(name, {}, &ignored);
}

}  // namespace hidhost::sim
