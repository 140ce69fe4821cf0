// The photo box's items: the file names of the photo list in list order, read from the list when
// the box draws them, so a folder of 100,000 photos costs nothing until the box is opened.
#pragma once

#include <QAbstractListModel>

#include "workflow/PhotoList.h"

namespace lumatag::shell {

class PhotoListModel final : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit PhotoListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}

  // Points the model at a list (or none) and tells the views to read everything again.
  void Reset(const PhotoList* list);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  const PhotoList* list_ = nullptr;
  int count_ = 0;
};

}  // namespace lumatag::shell
