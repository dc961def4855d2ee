#include "builddialog/MessageListModel.h"

#include <QTimer>

#include "forms/FormsHost.h"

namespace builddialog {

MessageListModel::MessageListModel(runner::MessageLines& lines, QObject* parent)
    : QAbstractListModel(parent), lines_(lines), shown_(lines.Count()) {
  lines_.SetObserver(this);
}

MessageListModel::~MessageListModel() { lines_.SetObserver(nullptr); }

int MessageListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shown_; }

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= lines_.Count()) return {};
  return forms::ToQt(lines_.Lines()[static_cast<size_t>(index.row())]);
}

void MessageListModel::Flush() {
  flushQueued_ = false;
  if (lines_.Count() <= shown_) return;
  beginInsertRows(QModelIndex(), shown_, lines_.Count() - 1);
  shown_ = lines_.Count();
  endInsertRows();
}

void MessageListModel::LinesCleared() {
  beginResetModel();
  shown_ = 0;
  endResetModel();
}

void MessageListModel::LineAdded(int) {
  if (flushQueued_) return;
  flushQueued_ = true;
  QTimer::singleShot(0, this, [this] { Flush(); });
}

void MessageListModel::LineChanged(int index) {
  Flush();
  emit dataChanged(this->index(index), this->index(index));
}

void MessageListModel::SelectionChanged(int index) {
  Flush();
  if (OnSelect) OnSelect(index);
}

}  // namespace builddialog
