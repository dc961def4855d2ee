#pragma once
// The data grid's view of the dialog's query: it reads the records where
// the query keeps them, a screenful at a time, instead of copying them into
// widget items; and it asks the query for more records only as the grid
// scrolls down to them, so a million-row table shows at once and holds
// only what was shown.
#include <QAbstractTableModel>

#include "platform/Database.h"
#include "platform/MessageService.h"

namespace dataexport {

class QueryTableModel : public QAbstractTableModel {
 public:
  // A failure to read more records goes to `messages`.
  QueryTableModel(platform::TQuery& query, platform::MessageService& messages, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;

  // Follows the query after it opened or closed; `attached` false shows
  // nothing (a grid detached from its data source).
  void Follow(bool attached);

 private:
  platform::TQuery& query_;
  platform::MessageService& messages_;
  bool attached_ = true;
  int rows_ = 0, columns_ = 0;
};

}  // namespace dataexport
