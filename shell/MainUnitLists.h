// The two file lists of the main window: an owner-drawn, sorted, multi-select list box, the
// framed panel around it, and the drop handling shared by the list, the panel and its children.
#pragma once

#include <QFrame>
#include <QHash>
#include <QListWidget>
#include <QStyledItemDelegate>

#include <functional>
#include <string>
#include <vector>

namespace lexmora {

// A file list: every item is a full path; items stay sorted without regard to case.
class TListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TListBox(QWidget* AParent = nullptr);

  // Fixed item height of the owner drawing.
  static constexpr int ItemHeight = 15;

  QStringList Paths() const;
  std::vector<std::string> PathList() const;
  // Replaces the items by APaths, which the caller keeps in the lists' order; selected paths stay
  // selected.
  void SetPaths(const std::vector<std::string>& APaths);
  void DeleteSelected();
  bool HasSelection() const { return !selectedItems().isEmpty(); }

  int HoverIndex() const { return FHoverItemOldIndex; }

 Q_SIGNALS:
  void InsertPressed();
  void DeletePressed();

 protected:
  void keyPressEvent(QKeyEvent* AEvent) override;
  void mouseMoveEvent(QMouseEvent* AEvent) override;
  void leaveEvent(QEvent* AEvent) override;

 private:
  void UpdateHoverHint(const QPoint& APos);
  int FHoverItemOldIndex = -1;
};

// Draws a list item: selected #DEEEFA with #333333 text, else #525252 on the list's background;
// the text 5 pixels right of the item's left edge and 1 pixel below its top.
class TFilesListBoxDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* APainter, const QStyleOptionViewItem& AOption, const QModelIndex& AIndex) const override;
  QSize sizeHint(const QStyleOptionViewItem& AOption, const QModelIndex& AIndex) const override;
};

// A framed list panel; files dropped anywhere on it reach FXListBox.
class TPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TPanel(QWidget* AParent = nullptr) : QFrame(AParent) {}
  TListBox* FXListBox = nullptr;
};

// Receives drag and drop on the widgets it watches and hands the dropped local paths, in the
// order the drag carries them, to a handler together with the list they belong to.
class TFileDropTarget : public QObject {
  Q_OBJECT
 public:
  using THandler = std::function<void(TListBox* AList, const std::vector<std::string>& APaths)>;
  TFileDropTarget(THandler AHandler, QObject* AParent) : QObject(AParent), FHandler(std::move(AHandler)) {}
  // AWidget (a list's viewport, a panel, a hint label, a strip) drops into AList.
  void Watch(QWidget* AWidget, TListBox* AList);
  // Stops receiving drops on AWidget.
  void Unwatch(QWidget* AWidget);

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

 private:
  THandler FHandler;
  QHash<QObject*, TListBox*> FTargets;
};

}  // namespace lexmora
