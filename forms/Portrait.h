#pragma once
#include <QLabel>
#include <QPixmap>
#include <memory>

class QSvgRenderer;

// A portrait drawn from its SVG at the screen's pixel ratio, stretched to the control.
// The SVG is read once and drawn once per size and ratio; a repaint only copies the picture.
class Portrait : public QLabel {
  public:
    Portrait(const QString& file, QWidget* parent);
    ~Portrait() override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QString file_;
    QPixmap picture_;
    std::unique_ptr<QSvgRenderer> svg_;
};
