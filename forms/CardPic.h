#pragma once
#include "GameState.h"

#include <QRect>
#include <QWidget>
#include <functional>

// One card picture: always stands for the same card number; shows one of the 56 images
// at the image's own size. Its place is kept in twips exactly as the game sets it.
class CardPic : public QWidget {
    Q_OBJECT
  public:
    // `G` is the game the card belongs to; `keysInUse` says whether the keyboard is in use
    // (its focus mark shows only then).
    CardPic(int index, QWidget* parent, const GameState& G, std::function<bool()> keysInUse);
    int Index() const { return index_; }
    int Image() const { return image_; }
    void SetImage(int image);
    int Left() const { return left_; }
    int Top() const { return top_; }
    void Move(int left, int top);
    void ZOrder(); // bring to the front
    // A click on the card, from the keyboard or assistive technology: the same signal, so the
    // same handler with the same checks.
    void Activate() { emit clicked(index_); }
    // Places and sizes the picture again at the table's current zoom.
    void Rezoom();
    bool KeysInUse() const { return keysInUse_(); }
  signals:
    void clicked(int index);

  protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void Place(const QRect& r);
    // Whether a card above this one lies exactly on it, hiding it whole.
    bool Covered() const;
    void UpdateAccessibility();
    const GameState& G;
    std::function<bool()> keysInUse_;
    int index_;
    int image_ = 53;
    int left_ = 1440;
    int top_ = 3840;
    bool pressed_ = false;
};

// The player's face-up cards among the client's pictures, left to right.
QList<CardPic*> PlayerHandPics(const QWidget* client, const GameState& G);
