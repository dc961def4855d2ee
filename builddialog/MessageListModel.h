#pragma once
// The message list as a list model over the dialog's message lines: no
// widget item per line, and added lines reach the view in batches, so a
// compiler that prints a million lines keeps the dialog responsive.
#include <QAbstractListModel>

#include "runner/MessageList.h"

namespace builddialog {

class MessageListModel : public QAbstractListModel, public runner::MessageListObserver {
 public:
  explicit MessageListModel(runner::MessageLines& lines, QObject* parent = nullptr);
  ~MessageListModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Tells the view about lines added since the last time.
  void Flush();
  // Called with the row to select whenever the list's selection changes.
  std::function<void(int)> OnSelect;

  void LinesCleared() override;
  void LineAdded(int index) override;
  void LineChanged(int index) override;
  void SelectionChanged(int index) override;

 private:
  runner::MessageLines& lines_;
  int shown_ = 0;  // rows the view knows of
  bool flushQueued_ = false;
};

}  // namespace builddialog
