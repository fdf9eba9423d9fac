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
  // Every match repeats the actions of its generation, so that several
  // interfaces of one reader give the same screen as one.
  readerlink::ScanForReaders([&](readerlink::ReaderDevice&, const readerlink::ReaderInterface& reader) {
    session.runState.ReaderPresent = 1;
    switch (reader.generation) {
      case readerlink::Generation::Legacy:
        session.StatusText = kLegacyReaderStatus;
        controls.SetVisible(ControlId::Launch, true);
        controls.SetText(ControlId::Launch, kLaunchText);
        break;
      case readerlink::Generation::Current:
        ShowCommandPanel(controls);
        break;
      default:
        session.StatusText = kUnknownReaderStatus;
        break;
    }
    controls.SetText(ControlId::StatusLine, session.StatusText);
  });
  if (!session.runState.ReaderPresent) {
    session.StatusText = kWaitingStatus;
    controls.SetText(ControlId::StatusLine, session.StatusText);
  }
}

}  // namespace utility
