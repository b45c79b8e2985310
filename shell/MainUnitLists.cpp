#include "MainUnitLists.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSet>
#include <QSignalBlocker>
#include <QToolTip>
#include <QUrl>

#include <algorithm>

namespace lexmora {

TListBox::TListBox(QWidget* AParent) : QListWidget(AParent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setUniformItemSizes(true);
  setMouseTracking(true);
  setItemDelegate(new TFilesListBoxDelegate(this));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextElideMode(Qt::ElideNone);
  setFrameShape(QFrame::NoFrame);
  // Drops are taken by the window's drop target; the view's own item moving stays off.
  setDragDropMode(QAbstractItemView::NoDragDrop);
}

QStringList TListBox::Paths() const {
  QStringList Result;
  Result.reserve(count());
  for (int I = 0; I < count(); ++I) Result << item(I)->text();
  return Result;
}

std::vector<std::string> TListBox::PathList() const {
  std::vector<std::string> Result;
  Result.reserve(count());
  for (int I = 0; I < count(); ++I) Result.push_back(item(I)->text().toStdString());
  return Result;
}

void TListBox::SetPaths(const std::vector<std::string>& APaths) {
  QSet<QString> Selected;
  for (const QListWidgetItem* Item : selectedItems()) Selected.insert(Item->text());
  const QSignalBlocker Blocker(this);
  clear();
  for (const std::string& Path : APaths) {
    auto* Item = new QListWidgetItem(QString::fromStdString(Path), this);
    if (Selected.contains(Item->text())) Item->setSelected(true);
  }
}

void TListBox::DeleteSelected() {
  const QList<QListWidgetItem*> Selected = selectedItems();
  for (QListWidgetItem* Item : Selected) delete takeItem(row(Item));
}

void TListBox::keyPressEvent(QKeyEvent* AEvent) {
  if (AEvent->key() == Qt::Key_Insert && AEvent->modifiers() == Qt::NoModifier) {
    Q_EMIT InsertPressed();
    return;
  }
  if (AEvent->key() == Qt::Key_Delete && AEvent->modifiers() == Qt::NoModifier) {
    Q_EMIT DeletePressed();
    return;
  }
  QListWidget::keyPressEvent(AEvent);
}

void TListBox::mouseMoveEvent(QMouseEvent* AEvent) {
  UpdateHoverHint(AEvent->position().toPoint());
  QListWidget::mouseMoveEvent(AEvent);
}

void TListBox::leaveEvent(QEvent* AEvent) {
  FHoverItemOldIndex = -1;
  setToolTip(QString());
  QListWidget::leaveEvent(AEvent);
}

// The hint shows the whole path only when the item is too wide for the list.
void TListBox::UpdateHoverHint(const QPoint& APos) {
  const QModelIndex Index = indexAt(APos);
  const int ItemIndex = Index.isValid() ? Index.row() : -1;
  if (ItemIndex != FHoverItemOldIndex) QToolTip::hideText();
  FHoverItemOldIndex = ItemIndex;
  if (ItemIndex < 0 || ItemIndex >= count()) {
    setToolTip(QString());
    return;
  }
  const QString Text = item(ItemIndex)->text();
  const bool TooWide = fontMetrics().horizontalAdvance(Text) > viewport()->width() - 5;
  setToolTip(TooWide ? Text : QString());
}

void TFilesListBoxDelegate::paint(QPainter* APainter, const QStyleOptionViewItem& AOption,
                                  const QModelIndex& AIndex) const {
  const bool Selected = AOption.state & QStyle::State_Selected;
  const QWidget* List = AOption.widget;
  const QColor Background =
      Selected ? QColor(0xDE, 0xEE, 0xFA) : (List ? List->palette().color(QPalette::Base) : QColor(Qt::white));
  APainter->save();
  APainter->fillRect(AOption.rect, Background);
  APainter->setPen(Selected ? QColor(0x33, 0x33, 0x33) : QColor(0x52, 0x52, 0x52));
  APainter->setFont(AOption.font);
  const QRect TextRect = AOption.rect.adjusted(5, 1, 0, 0);
  APainter->drawText(TextRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, AIndex.data().toString());
  APainter->restore();
}

QSize TFilesListBoxDelegate::sizeHint(const QStyleOptionViewItem& AOption, const QModelIndex& AIndex) const {
  const int Width = AOption.fontMetrics.horizontalAdvance(AIndex.data().toString()) + 5;
  return {Width, TListBox::ItemHeight};
}

void TFileDropTarget::Watch(QWidget* AWidget, TListBox* AList) {
  AWidget->setAcceptDrops(true);
  AWidget->installEventFilter(this);
  FTargets.insert(AWidget, AList);
}

void TFileDropTarget::Unwatch(QWidget* AWidget) {
  AWidget->setAcceptDrops(false);
  AWidget->removeEventFilter(this);
  FTargets.remove(AWidget);
}

bool TFileDropTarget::eventFilter(QObject* AWatched, QEvent* AEvent) {
  const auto Target = FTargets.constFind(AWatched);
  if (Target == FTargets.constEnd()) return QObject::eventFilter(AWatched, AEvent);
  switch (AEvent->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* Drag = static_cast<QDropEvent*>(AEvent);
      if (Drag->mimeData()->hasUrls()) {
        Drag->setDropAction(Qt::CopyAction);
        Drag->accept();
      } else {
        Drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* Drop = static_cast<QDropEvent*>(AEvent);
      std::vector<std::string> Paths;
      for (const QUrl& Url : Drop->mimeData()->urls())
        if (Url.isLocalFile()) Paths.push_back(Url.toLocalFile().toStdString());
      Drop->setDropAction(Qt::CopyAction);
      Drop->accept();
      FHandler(Target.value(), Paths);
      return true;
    }
    default:
      return QObject::eventFilter(AWatched, AEvent);
  }
}

}  // namespace lexmora
