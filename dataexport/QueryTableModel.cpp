#include "dataexport/QueryTableModel.h"

#include "dataexport/FieldValues.h"
#include "forms/FormsHost.h"

namespace dataexport {

QueryTableModel::QueryTableModel(platform::TQuery& query, platform::MessageService& messages, QObject* parent)
    : QAbstractTableModel(parent), query_(query), messages_(messages) {}

int QueryTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int QueryTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant QueryTableModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_) return {};
  return forms::ToQt(DisplayText(query_, index.row(), index.column()));
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return section < columns_ ? forms::ToQt(query_.Field(section).FieldName) : QVariant();
}

bool QueryTableModel::canFetchMore(const QModelIndex& parent) const {
  return !parent.isValid() && attached_ && columns_ > 0 && query_.CanFetchMore();
}

void QueryTableModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent)) return;
  forms::Handle(messages_, [this] { query_.FetchMore(platform::TQuery::RecordsPerFetch); });
  const int rows = query_.RecordCount();
  if (rows <= rows_) return;
  beginInsertRows(QModelIndex(), rows_, rows - 1);
  rows_ = rows;
  endInsertRows();
}

void QueryTableModel::Follow(bool attached) {
  const int rows = attached && query_.Active() ? query_.RecordCount() : 0;
  const int columns = attached && query_.Active() ? query_.FieldCount() : 0;
  if (attached == attached_ && rows == rows_ && columns == columns_) return;
  beginResetModel();
  attached_ = attached;
  rows_ = rows;
  columns_ = columns;
  endResetModel();
}

}  // namespace dataexport
