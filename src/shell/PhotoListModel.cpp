#include "shell/PhotoListModel.h"

namespace lumatag::shell {

void PhotoListModel::Reset(const PhotoList* list) {
  beginResetModel();
  list_ = list;
  // The count is taken at the reset: the list may change under the model only between resets.
  count_ = list_ != nullptr ? list_->Count() : 0;
  endResetModel();
}

int PhotoListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : count_;
}

QVariant PhotoListModel::data(const QModelIndex& index, int role) const {
  if (list_ == nullptr || !index.isValid() || index.row() >= count_ ||
      index.row() >= list_->Count()) {
    return {};
  }
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  const std::u16string_view name = list_->At(index.row()).fileName.View();
  return QString::fromUtf16(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace lumatag::shell
