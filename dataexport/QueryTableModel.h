#pragma once
// The data grid's view of the dialog's query: it reads the records where
// the query keeps them, a screenful at a time, instead of copying them into
// widget items, so a million-row table shows at once.
#include <QAbstractTableModel>

#include "platform/Database.h"

namespace dataexport {

class QueryTableModel : public QAbstractTableModel {
 public:
  explicit QueryTableModel(platform::TQuery& query, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Follows the query after it opened or closed; `attached` false shows
  // nothing (a grid detached from its data source).
  void Follow(bool attached);

 private:
  platform::TQuery& query_;
  bool attached_ = true;
  int rows_ = 0, columns_ = 0;
};

}  // namespace dataexport
