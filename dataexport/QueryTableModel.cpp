#include "dataexport/QueryTableModel.h"

#include "dataexport/FieldValues.h"
#include "forms/FormsHost.h"

namespace dataexport {

QueryTableModel::QueryTableModel(platform::TQuery& query, QObject* parent)
    : QAbstractTableModel(parent), query_(query) {}

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
