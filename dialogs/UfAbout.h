#pragma once
// TfAbout, the product's about box: a borderless picture card whose three
// links hand their addresses to the desktop.
#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;

namespace dialogs {

class TfAbout : public QDialog {
 public:
  // `open` hands an address to the desktop; empty: platform::OpenWithDesktop.
  explicit TfAbout(std::function<void(const std::string&)> open = {}, QWidget* parent = nullptr);

  QLabel *Image1, *Image2, *Image3;
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
  QLabel *Panel6, *Panel1, *Panel2, *Panel3, *Panel4, *Panel5;
  QPushButton* BitBtn1;

  void Label5Click();
  void Label6Click();
  void Label8Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(const std::string&)> open_;
};

}  // namespace dialogs
