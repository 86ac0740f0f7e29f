#pragma once
// The version dialog "バージョン情報": the program's icon, product name, version, copyright
// notice and a link to the home page.

#include <QDialog>

#include "app/product.h"

class QColor;
class QLabel;

namespace folvane {

class fomVersion : public QDialog {
    Q_OBJECT
  public:
    explicit fomVersion(QWidget* parent);
    ~fomVersion() override;

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FillTexts();
    void SetLinkColour(const QColor& colour);

    QLabel* lblText_[3] = {};
    QLabel* lblSuport_ = nullptr;
};

}  // namespace folvane
