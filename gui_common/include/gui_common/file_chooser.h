// The file dialog of a program: built on first use (building it loads icons
// and the file system model, which is too slow for start-up), kept between
// uses, and opened with the previous choice selected.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

class QFileDialog;
class QWidget;

namespace guicommon {

// Qt name filters for a "|"-separated filter text ("label|patterns|...||",
// patterns separated by ';'). Labels stay as written; the pattern "*.*",
// which means every file, becomes "*" so that names without a dot show too.
// The dialog hides the patterns and shows the labels.
QStringList QtNameFilters(const std::string& filter);

struct FileRequest {
  bool save = false;
  QString title;           // empty: Qt's own
  std::string filter;      // "|"-separated, see QtNameFilters
  QString defaultSuffix;   // without the dot; added to a typed name without one
};

class FileChooser {
 public:
  // The dialog will open over `parent` (may be null).
  explicit FileChooser(QWidget* parent = nullptr) : parent_(parent) {}
  ~FileChooser();
  FileChooser(const FileChooser&) = delete;
  FileChooser& operator=(const FileChooser&) = delete;

  void SetParent(QWidget* parent) { parent_ = parent; }

  // Runs the dialog modally. The chosen path, 8-bit in the file system's
  // encoding, or nothing when the operator cancels. Saving never asks before
  // replacing a file.
  std::optional<std::string> Choose(const FileRequest& request);

  // The dialog, or null before the first Choose.
  QFileDialog* Dialog() const;

 private:
  QPointer<QWidget> parent_;
  QPointer<QFileDialog> dialog_;
  QString lastChoice_;
};

}  // namespace guicommon
