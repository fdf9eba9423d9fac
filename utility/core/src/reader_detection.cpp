#include "utility/reader_detection.h"

#include "reader_link/reader_device.h"
#include "reader_link/reader_scan.h"
#include "utility/control_ids.h"

namespace utility {

void ShowCommandPanel(DialogControls& controls) {
  controls.ShowMenuBar();
  controls.SetVisible(ControlId::StatusLine, false);
  controls.SetVisible(ControlId::HandOverExit, false);
  for (ControlId id : kPanelShowOrder) controls.SetVisible(id, true);
}

void DetectReader(DialogControls& controls, Session& session) {
  readerlink::ReaderDevice device(readerlink::kDeviceTypeQuery);
  // Every match repeats the actions of its generation, so that several
  // interfaces of one reader give the same screen as one.
  readerlink::ScanForReaders(device, [&](readerlink::ReaderDevice&, int32_t) {
    session.runState.ReaderPresent = 1;
    switch (readerlink::ReaderGeneration) {
      case readerlink::kGenerationLegacy:
        session.StatusText = kLegacyReaderStatus;
        controls.SetVisible(ControlId::Launch, true);
        controls.SetText(ControlId::Launch, kLaunchText);
        break;
      case readerlink::kGenerationCurrent:
        ShowCommandPanel(controls);
        break;
      default:
        session.StatusText = kUnknownReaderStatus;
        break;
    }
    controls.SetText(ControlId::StatusLine, session.StatusText);
  });
  if (!session.runState.ReaderPresent) {
    device.Close();
    session.StatusText = kWaitingStatus;
    controls.SetText(ControlId::StatusLine, session.StatusText);
  }
}

}  // namespace utility
