#pragma once
// The IDE's main image list, main menu and toolbars as a host built on Qt
// Widgets hands them to its packages. A host and the packages it loads are
// built against this one definition.
#include <QIcon>
#include <QList>
#include <QMenuBar>
#include <QToolBar>
#include <functional>

namespace ToolsAPI {

class TCustomImageList {
 public:
  const QList<QIcon>& Images() const { return images_; }
  int Count() const { return static_cast<int>(images_.size()); }
  QIcon Image(int index) const { return index >= 0 && index < Count() ? images_[index] : QIcon(); }
  // Appends images; they get the highest indices.
  void AddImages(const QList<QIcon>& images) { images_ << images; }
  // Removes the images from `first` on (a package's, when it goes).
  void RemoveFrom(int first) {
    if (first >= 0 && first < Count()) images_.resize(first);
  }

 private:
  QList<QIcon> images_;
};

class TMainMenu {
 public:
  explicit TMainMenu(QMenuBar* bar) : Bar(bar) {}
  QMenuBar* Bar;  // the top-level items
};

class TToolBar {
 public:
  explicit TToolBar(QToolBar* bar) : Bar(bar) {}
  QToolBar* Bar;
};

}  // namespace ToolsAPI
